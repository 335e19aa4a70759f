// A small element builder and the number formats the page uses.

// el('td', {class: 'number'}, '1,024', child): attributes whose value is
// false, null or undefined are left out; true gives an empty attribute.
export function el(tag, attributes = {}, ...children) {
  const element = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === false || value === null || value === undefined) continue;
    element.setAttribute(name, value === true ? '' : String(value));
  }
  element.append(...children.flat().filter((child) => child !== null && child !== undefined && child !== false));
  return element;
}

// A table with a caption, column headings and rows of cells (text or nodes);
// a column named in numeric is right-aligned. Wide tables scroll inside
// their own box rather than widening the page (readable at any zoom).
export function dataTable(caption, headings, rows, numeric = []) {
  const isNumeric = headings.map((heading) => numeric.includes(heading));
  return el('div', { class: 'table-box', tabindex: 0, role: 'group', 'aria-label': caption },
    el('table', {},
      el('caption', {}, caption),
      el('thead', {}, el('tr', {}, headings.map((heading) => el('th', { scope: 'col' }, heading)))),
      el('tbody', {}, rows.map((row) =>
        el('tr', {}, row.map((cell, i) => el('td', { class: isNumeric[i] ? 'number' : null }, cell)))))));
}

export const count = (n) => Number(n).toLocaleString('en-US');

export function plural(n, one, many = `${one}s`) {
  return `${count(n)} ${n === 1 ? one : many}`;
}

export function byteSize(n) {
  if (n < 1024) return plural(n, 'byte');
  const units = ['KiB', 'MiB', 'GiB'];
  let value = n / 1024;
  let unit = 0;
  for (; value >= 1024 && unit < units.length - 1; ++unit) value /= 1024;
  return `${plural(n, 'byte')} (${value.toFixed(value < 10 ? 1 : 0)} ${units[unit]})`;
}

export const hex = (n, digits = 2) => `0x${n.toString(16).toUpperCase().padStart(digits, '0')}`;
