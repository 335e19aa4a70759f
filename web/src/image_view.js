// One opened image: the answers to what is in it, what is wrong with it and
// what can be taken from it, with its map and the cutters' preview.
import { diskFilesView } from './disk_files_view.js';
import { el } from './dom.js';
import { filesView } from './files_view.js';
import { mapView } from './map_view.js';
import { preview } from './preview_view.js';
import { verdict, whatIsInIt, whatIsWrong } from './summary_view.js';

// actions: { fetchRecord(where), downloadFile(name), downloadZip(),
// downloadListedFile(disk, index, name), downloadRaw(disk) }
export function imageView(number, name, opened, actions) {
  const { report, map } = opened;
  const id = `image-${number}`;
  const part = (title, content) => el('section', { class: 'part', 'aria-labelledby': `${id}-${title.key}` },
    el('h3', { id: `${id}-${title.key}` }, title.text), content);
  const files = el('div', {}, el('p', {}, report.status === 'unreadable' ? 'Nothing.' : 'Cutting…'));
  const diskFiles = el('div', {}, el('p', {}, report.status === 'unreadable' ? 'Nothing.' : 'Listing…'));
  const section = el('section', { class: 'image', id, 'aria-labelledby': `${id}-title`, 'data-name': name },
    el('h2', { id: `${id}-title` }, name),
    verdict(report),
    part({ key: 'contents', text: 'What is in it' }, whatIsInIt(report)),
    part({ key: 'wrong', text: 'What is wrong with it' }, whatIsWrong(report)),
    report.status === 'unreadable' ? null : part({ key: 'map', text: 'Disk map' }, mapView(id, map, actions.fetchRecord)),
    part({ key: 'preview', text: 'What the cutters would write' }, preview(report)),
    part({ key: 'take', text: 'What you can take' }, files),
    part({ key: 'disk-files', text: 'Files on its disks' }, diskFiles));
  return {
    section,
    // data-cut says, for scripts and tests, that the files shown are a
    // finished cut's, and whose.
    showCutting() {
      delete section.dataset.cut;
      files.replaceChildren(el('p', {}, 'Cutting…'));
    },
    showCut(cut) {
      files.replaceChildren(filesView(cut, actions));
      section.dataset.cut = cut.mode;
    },
    // data-listed says the disks' files are shown.
    showListings(listings) {
      diskFiles.replaceChildren(diskFilesView(listings, actions));
      section.dataset.listed = String(listings.length);
    },
    showListingError(message) {
      diskFiles.replaceChildren(el('p', { class: 'error' }, `The files cannot be listed: ${message}`));
      section.dataset.listed = 'none';
    },
    showNotAnImage(message) {
      files.replaceChildren(el('p', { class: 'error not-an-image' }, `Nothing can be cut: ${message}`));
      section.dataset.cut = 'not-an-image';
    },
    showCutError(message) {
      files.replaceChildren(el('p', { class: 'error' }, `Nothing can be cut: ${message}`));
      section.dataset.cut = 'none';
    },
  };
}
