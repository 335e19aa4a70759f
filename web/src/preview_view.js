// What the cutters would write from an image: the report's preview.
import { count, dataTable, el, plural } from './dom.js';

export function outcome(file) {
  if (!file.written) return file.reason ? `not written: ${file.reason}` : 'not written';
  const state = file.complete ? 'complete' : `zero-padded from byte ${count(file.padded_from ?? file.supplied)}`;
  return file.replaced ? `${state}; replaced by a later disk's file` : state;
}

function tally(files) {
  const written = files.filter((f) => f.written && !f.replaced);
  const padded = written.filter((f) => !f.complete).length;
  return `${plural(written.length - padded, 'file')} complete, ${count(padded)} zero-padded, ` +
    `${count(files.filter((f) => !f.written).length)} not written`;
}

function cutterTable(title, files, withBlock) {
  const headings = ['File', 'Disk', ...(withBlock ? ['First block'] : []), 'Size', 'Outcome'];
  const rows = files.map((f) => [f.name, String(f.disk), ...(withBlock ? [String(f.first_block)] : []),
    count(f.size), outcome(f)]);
  return dataTable(`${title}: ${tally(files)}`, headings, rows, ['Disk', 'First block', 'Size']);
}

export function preview(image) {
  if (image.status === 'unreadable') return el('p', {}, 'Nothing.');
  return el('div', {},
    image.tablecut.length === 0 ? el('p', {}, 'The table cutter knows none of the disks.')
      : cutterTable('The table cutter', image.tablecut, false),
    image.scancut.length === 0 ? el('p', {}, 'The scanning cutter finds no data file on the first two disks.')
      : cutterTable('The scanning cutter', image.scancut, true));
}
