// The worker: holds the opened images and runs the library on them, so
// that the page stays responsive while a big image is read. It answers
// each request {id, op, ...} with {id, result} or {id, error}.
//   version                      -> the library's release
//   open {file}                  -> {image, report, map (its UTF-8 bytes), surveyMs, times}
//   cut {image, mode}            -> {mode, folder, files, missing}
//   file {image, name}           -> bytes of one file of the last cut
//   zip {images}                 -> bytes of one zip of their last cuts
//   record {image, disk, track, index} -> {record, bytes}
//   modes                        -> the cut's modes: "auto", then the library's ways
//   files {image}                -> each disk's file system and files
//   listedFile {image, disk, index} -> bytes of one file of a disk's file system
//   raw {image, disk}            -> {bytes, geometry, exact, findings}: the disk as a raw image
// D88_WASM_BASE64 (the library compiled to WebAssembly), createD88Module
// (Emscripten's loader) and fflate are put before this by the page's build.
import { Library } from './library.js';
import { zipFolders } from './zip.js';

const wasmBinary = Uint8Array.from(atob(D88_WASM_BASE64), (c) => c.charCodeAt(0));
const ready = createD88Module({ wasmBinary }).then((module) => {
  const library = new Library(module);
  library.warmUp();
  return library;
});
const images = [];
const recordHeaderSize = 16;

// The browser reads a file whole faster than piece by piece.
async function readInto(library, room, file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (bytes.length !== room.size) throw new Error('the file changed while it was read');
  library.u8.set(bytes, room.data);
}

function imageAt(index) {
  const image = images[index];
  if (!image) throw new Error(`no image ${index}`);
  return image;
}

const handlers = {
  version(library) {
    return { result: library.version() };
  },

  // The file is read here, not in the page, and copied into the library's
  // memory. surveyMs: the time the library then takes to open it and make
  // its report and map (one survey), with their texts decoded, for
  // bench/page.sh, and times: the milliseconds of each step.
  async open(library, { file }) {
    const times = {};
    let started = performance.now();
    const room = library.reserve(file.size);
    try {
      await readInto(library, room, file);
      times.readMs = performance.now() - started;
    } catch (error) {
      library.free(room);
      throw error;
    }
    started = performance.now();
    const image = { name: file.name, opened: library.open(file.name, room), cut: null };
    times.openMs = performance.now() - started;
    let texts;
    try {
      texts = library.reportAndMap(image.opened, times);
    } catch (error) {
      library.close(image.opened);
      throw error;
    }
    const surveyMs = performance.now() - started;
    images.push(image);
    const parsed = performance.now();
    const report = JSON.parse(texts.json).images[0];
    times.parseMs = performance.now() - parsed;
    // The map's bytes are handed over, not copied, and decoded only when
    // the page shows the map.
    return { result: { image: images.length - 1, report, map: texts.svg, surveyMs, times },
      transfer: texts.svg ? [texts.svg.buffer] : [] };
  },

  // As with d88cut, an image's folder is named once it has been cut, after
  // the folders of the images before it: one that cannot be read, or is no
  // D88 image, takes none.
  cut(library, { image: index, mode }) {
    const image = imageAt(index);
    const given = images.slice(0, index).map((earlier) => earlier.folder).filter((folder) => folder);
    image.cut = null;  // until this cut succeeds: no zip holds an earlier mode's files
    const cut = library.cutOrRefusal(image.opened, mode, given);
    if (cut.notAnImage !== undefined) return { result: cut };
    image.cut = cut;
    image.folder = image.cut.folder;
    const files = image.cut.files.map(({ bytes, ...facts }) => facts);
    return { result: { mode: image.cut.mode, folder: image.folder, files, missing: image.cut.missing } };
  },

  file(library, { image: index, name }) {
    const file = imageAt(index).cut?.files.find((f) => f.name === name);
    if (!file) throw new Error(`no file ${name}`);
    const bytes = file.bytes.slice();
    return { result: bytes, transfer: [bytes.buffer] };
  },

  zip(library, { images: indexes }) {
    const bytes = zipFolders(indexes.map((index) => imageAt(index)).filter((image) => image.cut !== null));
    return { result: bytes, transfer: [bytes.buffer] };
  },

  modes(library) {
    return { result: ['auto', ...library.cutterKeys()] };
  },

  // Each disk's listing is kept for its files' bytes.
  files(library, { image: index }) {
    const image = imageAt(index);
    if (!image.listings) {
      image.listings = [];
      for (let disk = 0, disks = library.diskCount(image.opened); disk < disks; ++disk) image.listings.push(library.listFiles(image.opened, disk));
    }
    return { result: image.listings.map(({ listing, ...facts }) => facts) };
  },

  listedFile(library, { image: index, disk, index: fileIndex }) {
    const listed = imageAt(index).listings?.[disk];
    if (!listed) throw new Error(`disk ${disk}'s files are not listed`);
    const bytes = library.listedFileBytes(imageAt(index).opened, listed, fileIndex);
    return { result: bytes, transfer: [bytes.buffer] };
  },

  raw(library, { image: index, disk }) {
    const raw = library.toRaw(imageAt(index).opened, disk);
    return { result: raw, transfer: [raw.bytes.buffer] };
  },

  // The record's facts come from the reader's walk; its bytes are the
  // image's own, from the record's data on (after its 16-byte header), as
  // far as the file holds them.
  record(library, { image: index, disk, track, index: recordIndex }) {
    const image = imageAt(index);
    const record = library.record(image.opened, disk, track, recordIndex);
    if (!record) throw new Error(`track ${track} of disk ${disk} has no record ${recordIndex}`);
    const size = image.opened.size;
    const start = Math.min(record.position + recordHeaderSize, size);
    const bytes = library.bytes(image.opened, start, Math.min(start + record.length, size));
    return { result: { record, bytes }, transfer: [bytes.buffer] };
  },
};

// One request at a time, in the order they came: a request's answer may
// wait for a file to be read, and the next must not overtake it.
let queue = Promise.resolve();
self.addEventListener('message', ({ data }) => {
  queue = queue.then(() => answer(data));
});

async function answer(data) {
  const { id, op } = data;
  try {
    const library = await ready;
    if (!Object.hasOwn(handlers, op)) throw new Error(`unknown request ${op}`);
    const { result, transfer = [] } = await handlers[op](library, data);
    self.postMessage({ id, result }, transfer);
  } catch (error) {
    self.postMessage({ id, error: error.message ?? String(error) });
  }
}
