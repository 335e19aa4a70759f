// What is in an image and what is wrong with it, from the library's report
// (the document d88info --json prints, one image of it).
import { byteSize, count, dataTable, el, hex, plural } from './dom.js';

const kindNames = { program: 'Program Disk', scenario: 'Scenario Disk', event: 'Event Disk' };

// The report gives the name decoded where it is Shift-JIS text; else its
// stored bytes show, printable ASCII as it is and others as \xHH.
function diskName(disk) {
  if (disk.name !== null) return disk.name;
  return (disk.name_hex.match(/../g) ?? []).map((pair) => {
    const byte = parseInt(pair, 16);
    return byte >= 0x20 && byte < 0x7f && byte !== 0x5c ? String.fromCharCode(byte) : `\\x${pair}`;
  }).join('');
}

// Of a disk cut short, the tracks the file ends in differ: that the disk is
// cut short is what tells, as in the text report.
function geometry(disk) {
  const g = disk.geometry;
  if (g.tracks === 0) return 'no track holds records';
  const size = g.sector_size > 0 ? count(g.sector_size) : '?';
  const cutShort = disk.bytes_present < disk.size;
  const mixed = cutShort ? ' (cut short)' : g.other_tracks > 0 ? ' (mixed)' : '';
  return `${g.cylinders} × ${g.heads}, ${g.sectors} × ${size} B${mixed}`;
}

const countWords = ['no', 'one', 'two', 'three', 'four', 'five', 'six'];

// A disk of no known kind said plainly; what the probes looked for is there
// for those who open it.
function kind(disk) {
  if (kindNames[disk.kind]) return kindNames[disk.kind];
  const kinds = Object.keys(kindNames).length;
  const words = `not one of the ${countWords[kinds] ?? kinds} disks tablecut knows`;
  if (!disk.kind_note) return words;
  return el('span', {}, words, el('details', { class: 'kind-note' }, el('summary', {}, 'details'), disk.kind_note));
}

function diskSize(disk) {
  if (disk.bytes_present >= disk.size) return byteSize(disk.size);
  return `${count(disk.bytes_present)} of ${byteSize(disk.size)}: cut short`;
}

function diskRow(disk) {
  return [
    String(disk.index),
    diskName(disk) || el('i', {}, 'no name'),
    disk.media_name ?? `media ${hex(disk.media)}`,
    geometry(disk),
    kind(disk),
    diskSize(disk),
  ];
}

// A disk indexed again (a size of 0 leads back to it) or zero bytes read as
// headers: told once for a run of them, as the text report does.
const again = (disk) => disk.blank || disk.same_as !== null;
const sameRun = (first, disk) => (first.blank ? disk.blank : !disk.blank && disk.same_as === first.same_as);

function diskRows(image) {
  const rows = [];
  let run = null;
  for (const disk of image.disks) {
    if (run && again(disk) && sameRun(run.first, disk)) {
      run.row[0] = `${run.first.index}–${disk.index}`;
      continue;
    }
    const what = disk.blank ? 'zero bytes after the last disk, read as empty headers'
      : `disk ${disk.same_as} again (its size is 0)`;
    const row = again(disk) ? [String(disk.index), '', '', '', what, ''] : diskRow(disk);
    rows.push(row);
    run = again(disk) ? { first: disk, row } : null;
  }
  return rows;
}

const damageOf = (image) => image.anomalies.filter((a) => a.severity === 'damage');

function verdictText(image) {
  if (image.status === 'unreadable') return `Could not be read: ${image.error ?? 'unknown reason'}.`;
  const found = `${byteSize(image.size)}, ${plural(image.disk_count, 'disk')}`;
  const damage = damageOf(image);
  if (damage.length === 0) return `${found}; no damage found.`;
  const kinds = new Set(damage.map((a) => a.kind)).size;
  return `${found}; ${plural(damage.length, 'problem')} of ${plural(kinds, 'kind')}, told below.`;
}

export function verdict(image) {
  return el('p', { class: 'verdict' },
    el('span', { class: `status status-${image.status}`, 'data-status': image.status }, image.status), ' ',
    verdictText(image));
}

export function whatIsInIt(image) {
  if (image.status === 'unreadable') return el('p', {}, 'Nothing could be read.');
  if (image.disks.length === 0) return el('p', {}, 'No disk: the file holds no whole disk header.');
  return dataTable('Disks', ['Disk', 'Name', 'Media', 'Geometry', 'Kind', 'Size'], diskRows(image), ['Disk']);
}

// Each kind of anomaly once, in the order first met, with its first
// message and how often it occurs.
function byKind(anomalies) {
  const kinds = new Map();
  for (const anomaly of anomalies) {
    const entry = kinds.get(anomaly.kind);
    if (entry) ++entry.count;
    else kinds.set(anomaly.kind, { first: anomaly, count: 1 });
  }
  return [...kinds.values()];
}

function sentence({ first, count: n }) {
  const message = first.message.charAt(0).toUpperCase() + first.message.slice(1);
  const more = n > 1 ? ` (${plural(n - 1, 'more place')} like it)` : '';
  return el('li', { 'data-kind': first.kind }, `${message.replace(/\.?$/, '.')}${more}`);
}

const place = (value) => (value === undefined || value === null ? '' : String(value));

// The table lists the first anomalies only: a hostile image has thousands.
const tableRows = 1000;

function anomalyTable(image) {
  const rows = image.anomalies.slice(0, tableRows).map((a) => [
    a.kind, a.severity, place(a.disk), place(a.track), a.position === undefined ? '' : hex(a.position, 1), a.message,
  ]);
  const leftOut = image.anomalies.length - rows.length + (image.anomalies_left_out ?? 0);
  return el('details', {},
    el('summary', {}, `All ${plural(image.anomalies.length + (image.anomalies_left_out ?? 0), 'finding')}, as a table`),
    dataTable('Anomalies', ['Kind', 'Severity', 'Disk', 'Track', 'Position', 'Message'], rows,
      ['Disk', 'Track', 'Position']),
    leftOut > 0 ? el('p', {}, `${plural(leftOut, 'more finding')} not listed.`) : null);
}

export function whatIsWrong(image) {
  if (image.status === 'unreadable') return el('p', {}, `The file could not be read: ${image.error ?? ''}`);
  const damage = byKind(damageOf(image));
  const notes = byKind(image.anomalies.filter((a) => a.severity !== 'damage'));
  return el('div', {},
    damage.length === 0 ? el('p', {}, 'Nothing: every disk and track reads as its headers say.')
      : el('ul', { class: 'damage' }, damage.map(sentence)),
    notes.length === 0 ? null : [el('p', {}, 'Notes, which are not damage:'), el('ul', { class: 'notes' }, notes.map(sentence))],
    image.anomalies.length > 0 ? anomalyTable(image) : null);
}
