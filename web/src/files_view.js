// What can be taken from an image: the files the chosen cutter writes, as
// d88cut writes them into the image's folder, each on its own or all in a
// zip with SHA256SUMS and manifest.json.
import { count, dataTable, el, plural } from './dom.js';

// The ways of taking files in words, by their keys.
export const modeWords = { table: 'the table cutter', scan: 'the scanning cutter', files: "the disk's own file system" };

function state(file) {
  return file.complete ? 'complete' : `zero-padded from byte ${count(file.supplied)}`;
}

// actions: { downloadFile(name), downloadZip() }
export function filesView(cut, actions) {
  const zipButton = el('button', { type: 'button', class: 'download-zip' }, 'Download all files (.zip)');
  zipButton.addEventListener('click', actions.downloadZip);
  const incomplete = cut.files.filter((f) => !f.complete).length;
  const rows = cut.files.map((file) => {
    const button = el('button', { type: 'button', 'aria-label': `Download ${file.name}` }, 'Download');
    button.addEventListener('click', () => actions.downloadFile(file.name));
    return [file.name, String(file.disk), count(file.size), state(file), button];
  });
  return el('div', {},
    el('p', {},
      `Cut by ${modeWords[cut.mode] ?? cut.mode}: ${plural(cut.files.length, 'file')}` +
      `${incomplete > 0 ? `, ${count(incomplete)} of them zero-padded` : ''}, into the folder `,
      el('code', {}, cut.folder), '.'),
    cut.files.length > 0 ? zipButton : null,
    cut.files.length > 0 ? dataTable('Files', ['File', 'Disk', 'Size', 'State', 'Take'], rows, ['Disk', 'Size']) : null,
    cut.missing.length === 0 ? null
      : [el('p', {}, `${plural(cut.missing.length, 'file')} the table knows cannot be cut:`),
        el('ul', { class: 'missing' }, cut.missing.map((m) => el('li', {}, `${m.name}: ${m.reason}`)))]);
}
