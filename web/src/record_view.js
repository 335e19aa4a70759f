// One sector record as the reader's walk meets it, and its bytes.
import { count, el, hex } from './dom.js';
import { hexDump } from './hexdump.js';

const density = (value) => (value === 0x40 ? 'single (FM)' : value === 0 ? 'double (MFM)' : `unknown (${hex(value)})`);

function length(record, bytes) {
  const nominal = 128 << record.n;
  const parts = [`${count(record.length)} bytes`];
  if (record.n <= 7 && record.length !== nominal) parts.push(`not the ${count(nominal)} of N ${record.n}`);
  if (bytes.length < record.length) parts.push(`the file holds only ${count(bytes.length)}`);
  return parts.join('; ');
}

function facts(record, bytes) {
  const rows = [
    ['Position', `${hex(record.position, 1)} (${count(record.position)})`],
    ['C', String(record.c)], ['H', String(record.h)], ['R', String(record.r)], ['N', String(record.n)],
    ['Count', String(record.count)],
    ['Density', density(record.density)],
    ['Deleted', record.deleted ? `yes (${hex(record.deleted)})` : 'no'],
    ['Status', `${hex(record.status)}: ${record.statusText}`],
    ['Length', length(record, bytes)],
  ];
  return el('table', { class: 'facts' },
    el('tbody', {}, rows.map(([name, value]) => el('tr', {}, el('th', { scope: 'row' }, name), el('td', {}, value)))));
}

export function recordView({ disk, track, index }, { record, bytes }) {
  const title = `Disk ${disk}, track ${track}, record ${index}`;
  return el('div', { class: 'record-detail' },
    el('h4', {}, title),
    facts(record, bytes),
    bytes.length === 0 ? el('p', {}, 'The record holds no data bytes.')
      : el('figure', {},
        el('figcaption', {}, `Its ${count(bytes.length)} data bytes, in hex and as Shift-JIS text`),
        el('pre', { class: 'dump', tabindex: 0 }, hexDump(bytes))));
}
