// What each disk holds by its own file system: the file system and why,
// its files in a table (name, type, size, state), each with a download
// button, and the disk itself as a raw image.
import { count, dataTable, el, plural } from './dom.js';

const stateWords = {
  complete: 'complete',
  incomplete: 'incomplete: zero-padded where sectors are lacking',
  missing: 'missing: the image holds none of its bytes',
  deleted: 'deleted: listed, not written',
  folder: 'folder',
};

const takeable = (file) => file.state === 'complete' || file.state === 'incomplete';

function fileRow(listed, file, actions) {
  const name = file.path.split('/').at(-1);
  let take = '';
  if (takeable(file)) {
    take = el('button', { type: 'button', 'aria-label': `Download ${file.path} of disk ${listed.disk}` }, 'Download');
    take.addEventListener('click', () => actions.downloadListedFile(listed.disk, file.index, name));
  }
  return [file.path, file.type, count(file.size), stateWords[file.state] ?? file.state, take];
}

function diskPart(listed, actions) {
  const raw = el('button', { type: 'button', class: 'download-raw', 'aria-label': `Download disk ${listed.disk} as raw image` },
    'Download as raw image');
  // What the raw image could not hold is said beside its button, never lost silently.
  const said = el('p', { class: 'raw-said', role: 'status' });
  raw.addEventListener('click', async () => {
    const made = await actions.downloadRaw(listed.disk);
    said.textContent = `The raw image (${made.geometry}) ` + (made.exact ? 'holds the disk exactly.'
      : `could not hold all of it: ${made.findings.map((f) => `${plural(f.sectors, 'sector')} ${f.text}`).join('; ')}.`);
  });
  if (!listed.found) {
    return el('div', { class: 'disk-files', 'data-disk': listed.disk },
      el('p', {}, `Disk ${listed.disk}: no file system found (${listed.reason}).`), raw, said);
  }
  const rows = listed.files.map((file) => fileRow(listed, file, actions));
  return el('div', { class: 'disk-files', 'data-disk': listed.disk },
    el('p', {}, `Disk ${listed.disk}: ${listed.name}, ${plural(listed.files.length, 'file')}, ` +
      `${count(listed.freeBytes)} bytes free. ${listed.reason}`),
    raw, said,
    listed.files.length === 0 ? null
      : dataTable(`Files of disk ${listed.disk}`, ['Name', 'Type', 'Size', 'State', 'Take'], rows, ['Size']));
}

// listings: the worker's "files" answer; actions: { downloadListedFile(disk,
// index, name), downloadRaw(disk) -> {geometry, exact, findings} }.
export function diskFilesView(listings, actions) {
  if (listings.length === 0) return el('p', {}, 'No disk.');
  return el('div', {}, listings.map((listed) => diskPart(listed, actions)));
}
