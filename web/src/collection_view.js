// With several images, a table of them before their sections: each one's
// name (a link to its section), status, disks, files and problems, so that
// a look down one column finds the image that needs one.
import { count, dataTable, el } from './dom.js';

const problems = (report) => report.anomalies.filter((a) => a.severity === 'damage').length;

export function collectionView() {
  const rows = [];
  const section = el('section', { class: 'collection', 'aria-labelledby': 'collection-title', hidden: true },
    el('h2', { id: 'collection-title' }, 'The images'));
  const redraw = () => {
    section.hidden = rows.length < 2;
    section.replaceChildren(section.firstChild,
      dataTable('The images read', ['Name', 'Status', 'Disks', 'Files', 'Problems'], rows.map((row) => row.cells),
        ['Disks', 'Files', 'Problems']));
  };
  return {
    section,
    // Adds an image whose section has the id given; gives the setter of
    // its files' count, which the cut brings later.
    add(id, name, report) {
      const files = el('span', {}, report.status === 'unreadable' ? 'none' : '…');
      const row = {
        cells: [el('a', { href: `#${id}` }, name), el('span', { class: `status status-${report.status}` }, report.status),
          count(report.disk_count), files, report.status === 'unreadable' ? '–' : count(problems(report))],
      };
      rows.push(row);
      redraw();
      return (n) => { files.textContent = n === null ? 'none' : count(n); };
    },
  };
}
