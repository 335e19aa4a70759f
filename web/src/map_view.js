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

// The map taken into the page by the HTML parser, which is several times
// faster at it than an XML parser. Its cells name the symbol they show as
// XML does (l:href, with l the XLink namespace), which HTML does not
// follow: they name it with SVG's own href instead. The library's own
// drawing: no script, no external reference.
function drawing(svg) {
  const box = document.createElement('div');
  box.innerHTML = new TextDecoder().decode(svg).replaceAll('<use l:href=', '<use href=');
  return box.querySelector('svg');
}

// Runs then once the browser has drawn what is on the page.
const afterPaint = (then) => requestAnimationFrame(() => setTimeout(then));

// Calls then, after the page has been drawn, once box comes within a
// screen of the view.
function whenNear(box, then) {
  const watch = new IntersectionObserver((entries) => {
    if (!entries.some((entry) => entry.isIntersecting)) return;
    watch.disconnect();
    afterPaint(then);
  }, { rootMargin: '100% 0px' });
  watch.observe(box);
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
    whenNear(map, () => {
      map.append(drawing(svg));
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
