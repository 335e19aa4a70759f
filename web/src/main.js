// The page: opens the images given by the file picker or dropped on the
// page, shows what the library says of each, and hands out their files.
// The worker does the reading; nothing leaves the machine.
import { collectionView } from './collection_view.js';
import { el, plural } from './dom.js';
import { modeWords } from './files_view.js';
import { imageView } from './image_view.js';
import { saveBytes } from './save.js';
import { startWorker } from './worker_client.js';

const worker = startWorker(document.getElementById('worker-source').textContent);
const input = document.getElementById('file-input');
const list = document.getElementById('images');
const status = document.getElementById('status');
const allButton = document.getElementById('download-all');
const opened = [];  // { image, folder, view, showFiles } of each image read
const collection = collectionView();
list.before(collection.section);

const mode = () => document.querySelector('input[name="mode"]:checked').value;

// Resolves after the browser has drawn what was added.
const drawn = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));

async function cut(entry) {
  entry.view.showCutting();
  try {
    const result = await worker.call('cut', { image: entry.image, mode: mode() });
    if (result.notAnImage !== undefined) {
      entry.view.showNotAnImage(result.notAnImage);
      entry.showFiles(null);
      return;
    }
    entry.folder = result.folder;
    entry.view.showCut(result);
    entry.showFiles(result.files.length);
  } catch (error) {
    entry.view.showCutError(error.message);
    entry.showFiles(null);
  }
}

async function listFiles(entry) {
  try {
    entry.view.showListings(await worker.call('files', { image: entry.image }));
  } catch (error) {
    entry.view.showListingError(error.message);
  }
}

// A disk's raw image as d88convert names one it is given no name for: the
// image's name with .img, and the disk's index when it has several.
function rawName(entry, disk) {
  const stem = entry.name.replace(/\.[^.]*$/, '');
  return `${stem}${entry.diskCount > 1 ? `-${disk}` : ''}.img`;
}

function actionsFor(entry) {
  return {
    downloadListedFile: async (disk, index, name) =>
      saveBytes(await worker.call('listedFile', { image: entry.image, disk, index }), name),
    downloadRaw: async (disk) => {
      const { bytes, ...made } = await worker.call('raw', { image: entry.image, disk });
      saveBytes(bytes, rawName(entry, disk));
      return made;
    },
    fetchRecord: (where) => worker.call('record', { image: entry.image, ...where }),
    downloadFile: async (name) => saveBytes(await worker.call('file', { image: entry.image, name }), name),
    downloadZip: async () => saveBytes(await worker.call('zip', { images: [entry.image] }), `${entry.folder}.zip`,
      'application/zip'),
  };
}

// A file the browser cannot read (a folder dropped, a file gone) gets the
// report of an unreadable image, as the programs give one.
function unreadable(file, error) {
  return { report: { path: file.name, size: null, error: error.message, status: 'unreadable', disk_count: 0,
    disks: [], trailing_bytes: 0, anomalies: [], tablecut: [], scancut: [] }, map: null };
}

async function openOne(file) {
  let result;
  try {
    result = await worker.call('open', { file });
    performance.mark('d88-answered');
    performance.measure('d88-survey', { end: performance.now(), duration: result.surveyMs,
      detail: { name: file.name, ...result.times } });
  } catch (error) {
    result = unreadable(file, error);
  }
  const entry = { image: result.image, folder: null, name: file.name, diskCount: result.report.disk_count };
  entry.view = imageView(list.children.length + 1, file.name, result, actionsFor(entry));
  list.append(entry.view.section);
  entry.showFiles = collection.add(entry.view.section.id, file.name, result.report);
  if (result.image !== undefined && result.report.status !== 'unreadable') opened.push(entry);
  return entry;
}

async function openFiles(files) {
  if (files.length === 0) return;
  performance.mark('d88-given');
  const entries = [];
  for (const file of files) {
    status.textContent = `Reading ${file.name}…`;
    entries.push(await openOne(file));
  }
  await drawn();
  performance.measure('d88-shown', 'd88-given');
  status.textContent = `${plural(files.length, 'image')} read.`;
  await Promise.all(entries.filter((entry) => opened.includes(entry)).map(cut));
  await Promise.all(entries.filter((entry) => opened.includes(entry)).map(listFiles));
  allButton.hidden = opened.filter((entry) => entry.folder !== null).length < 2;
}

input.addEventListener('change', () => {
  openFiles([...input.files]);
  input.value = '';
});
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', (event) => {
  if (event.relatedTarget === null) document.body.classList.remove('dragging');
});
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  openFiles([...event.dataTransfer.files]);
});
for (const choice of document.querySelectorAll('input[name="mode"]')) {
  choice.addEventListener('change', () => Promise.all(opened.map(cut)));
}
allButton.addEventListener('click', async () => {
  // Only the images that could be cut, as d88cut makes folders only for them.
  const cut = opened.filter((entry) => entry.folder !== null);
  saveBytes(await worker.call('zip', { images: cut.map((entry) => entry.image) }), 'd88-files.zip',
    'application/zip');
});
// The modes of the page's choices are the library's: a way of taking
// files the page's markup does not name gets a choice of its own.
worker.call('modes').then((modes) => {
  const fieldset = document.querySelector('fieldset.modes');
  for (const key of modes) {
    if (document.querySelector(`input[name="mode"][value="${CSS.escape(key)}"]`)) continue;
    const choice = el('input', { type: 'radio', name: 'mode', value: key });
    choice.addEventListener('change', () => Promise.all(opened.map(cut)));
    fieldset.append(el('label', {}, choice, ` ${modeWords[key] ?? key}`));
  }
});
worker.call('version').then((version) => {
  document.getElementById('version').textContent = version;
  // Shown once it can name the version: "d88image , compiled..." reads as a fault.
  document.getElementById('about').hidden = false;
});
