// The disk map the library draws, and a closer look at one of its records:
// clicking a cell, or naming disk, track and record in the form, asks the
// worker for that record.
import { el } from './dom.js';
import { recordView } from './record_view.js';

function numberField(id, label, name, max) {
  return el('span', {},
    el('label', { for: `${id}-${name}` }, label), ' ',
    el('input', { id: `${id}-${name}`, type: 'number', name, min: 0, max, value: 0, required: true }));
}

const SVG = 'http://www.w3.org/2000/svg';
const PANEL = '\n<g data-disk="';
// Panels taken in at once, by the size of their markup: a few disks'
// worth. The rest of a big map (a 64-disk one holds some 78,000 cells,
// seconds of layout) is taken in panel by panel as each comes near the view.
const AT_ONCE = 512 * 1024;

// Runs then once the browser has drawn what is on the page.
const afterPaint = (then) => requestAnimationFrame(() => setTimeout(then));

// Calls then(entry.target) for each of targets as it comes within a screen
// of the view, after the page has been drawn; once for each.
function whenNear(targets, then) {
  const watch = new IntersectionObserver((entries) => {
    for (const entry of entries) {
      if (!entry.isIntersecting) continue;
      watch.unobserve(entry.target);
      afterPaint(() => then(entry.target));
    }
  }, { rootMargin: '100% 0px' });
  for (const target of targets) watch.observe(target);
}

const withHref = (markup) => markup.replaceAll('<use l:href=', '<use href=');

// The map taken into the page by the HTML parser, which is several times
// faster at it than an XML parser. Its cells name the symbol they show as
// XML does (l:href, with l the XLink namespace), which HTML does not
// follow: they name it with SVG's own href instead. The library's own
// drawing: no script, no external reference. Returns the map with its
// first panels, and the markup of the others each with the empty box that
// holds its place (its position and size) until it is taken in.
function drawing(bytes) {
  const text = new TextDecoder().decode(bytes);
  const first = text.indexOf(PANEL);
  const end = text.lastIndexOf('</svg>');
  const panels = first < 0 ? [] : text.slice(first + PANEL.length, end).split(PANEL);
  let now = 0;
  for (let size = 0; now < panels.length && (now === 0 || size + panels[now].length <= AT_ONCE); ++now) {
    size += panels[now].length;
  }
  const box = document.createElement('div');
  box.innerHTML = withHref(first < 0 ? text
    : text.slice(0, first) + panels.slice(0, now).map((p) => PANEL + p).join('') + text.slice(end));
  const svg = box.querySelector('svg');
  const later = panels.slice(now).map((markup) => {
    const place = document.createElementNS(SVG, 'rect');
    const [, x, y, width, height] =
      markup.match(/translate\((-?[\d.]+),(-?[\d.]+)\)" data-width="(\d+)" data-height="(\d+)"/) ?? [];
    Object.entries({ x, y, width, height, fill: 'none' }).forEach(([name, value]) => place.setAttribute(name, value ?? 0));
    svg.append(place);
    return { place, markup: PANEL.slice(1) + markup };
  });
  return { svg, later };
}

// Takes a panel's markup in where its place is held.
function takeIn({ place, markup }) {
  const holder = document.createElementNS(SVG, 'g');
  holder.innerHTML = withHref(markup);
  place.replaceWith(...holder.childNodes);
}

// The record a cell stands for: its place in the track, on its track's row,
// in its disk's panel.
function cellPlace(cell) {
  return {
    disk: cell.closest('[data-disk]')?.dataset.disk,
    track: cell.closest('[data-track]')?.dataset.track,
    index: cell.dataset.index,
  };
}

// id: a prefix for the ids of the form's fields, unique in the page; svg:
// the map's UTF-8 bytes, or null.
export function mapView(id, svg, fetchRecord) {
  const map = el('div', { class: 'map' });
  // Taken in once the report above it is drawn, and only when it comes
  // near the view: the sample's map takes a quarter of a second to parse
  // and lay out, a 64-disk one seconds, and the answers should not wait for
  // it. d88-map-shown marks it drawn.
  if (svg) {
    whenNear([map], () => {
      const { svg: drawn, later } = drawing(svg);
      map.append(drawn);
      const panels = new Map(later.map((panel) => [panel.place, panel]));
      whenNear(panels.keys(), (place) => takeIn(panels.get(place)));
      afterPaint(() => performance.mark('d88-map-shown'));
    });
  }
  const detail = el('div', { class: 'record', 'aria-live': 'polite' });
  const form = el('form', { class: 'record-lookup' },
    numberField(id, 'Disk', 'disk', 63), numberField(id, 'Track', 'track', 163), numberField(id, 'Record', 'index'),
    el('button', { type: 'submit' }, 'Show record'));

  async function show(where) {
    detail.replaceChildren(el('p', {}, 'Reading…'));
    try {
      detail.replaceChildren(recordView(where, await fetchRecord(where)));
    } catch (error) {
      detail.replaceChildren(el('p', { class: 'error' }, error.message));
    }
  }

  form.addEventListener('submit', (event) => {
    event.preventDefault();
    const data = new FormData(form);
    show({ disk: Number(data.get('disk')), track: Number(data.get('track')), index: Number(data.get('index')) });
  });
  map.addEventListener('click', (event) => {
    const cell = event.target.closest('[data-index]');
    if (!cell) return;
    for (const [name, value] of Object.entries(cellPlace(cell))) form.elements[name].value = value;
    form.requestSubmit();
  });
  return el('div', {},
    svg ? map : null,
    el('p', {}, 'Click a cell of the map, or name a record (its disk, its track and its place in the track, from 0):'),
    form, detail);
}
