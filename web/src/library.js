// The library's C API (include/d88image/d88.h), compiled to WebAssembly, as
// the worker uses it. Only this file knows the C functions, and the one
// layout of the header it reads, d88_sector_id's, in WebAssembly memory.

// The numbers of d88.h the page uses, under the header's names; the C
// API's tests (tests/c_api/bindings_test.cpp) check each against it.
// d88.h numbers: begin
const cApi = {
  'D88_OK': 0,
  'D88_ERR_NOT_AN_IMAGE': 6,
  'D88_TRACKS_COUNTED': 1,
  'sizeof(d88_sector_id)': 4,
  'offsetof(d88_sector_id, c)': 0,
  'offsetof(d88_sector_id, h)': 1,
  'offsetof(d88_sector_id, r)': 2,
  'offsetof(d88_sector_id, n)': 3,
};
// d88.h numbers: end

// Rounds enough for the browser to optimise the code a survey runs most.
const warmUpRounds = 3;

// A D88 disk (2HD, 154 tracks of eight 1024-byte sectors numbered from 16,
// all zeros) for warmUp: the layout of include/d88image/d88_format.h. Its
// numbers are a program disk's, so that tablecut's way runs too.
const blankDisk = (() => {
  const [header, tracks, sectors, length, record] = [0x2b0, 154, 8, 1024, 16];
  const trackSize = sectors * (record + length);
  const bytes = new Uint8Array(header + tracks * trackSize);
  const view = new DataView(bytes.buffer);
  view.setUint8(0x1b, 0x20);
  view.setUint32(0x1c, bytes.length, true);
  for (let t = 0; t < tracks; ++t) {
    view.setUint32(0x20 + 4 * t, header + t * trackSize, true);
    for (let s = 0; s < sectors; ++s) {
      const at = header + t * trackSize + s * (record + length);
      bytes.set([t >> 1, t & 1, s + 16, 3], at);
      view.setUint16(at + 4, sectors, true);
      view.setUint16(at + 0x0e, length, true);
    }
  }
  return bytes;
})();

export class Library {
  constructor(module) {
    this.module = module;
    this.scratch = module._malloc(16);  // out-parameters
    this.id = module._malloc(cApi['sizeof(d88_sector_id)']);  // a record's ID, as the visitor reads it
    this.walk = null;                  // the walk a visitor call belongs to
    this.lastStatus = cApi['D88_OK'];  // of the last cut or listing
    this.visitor = module.addFunction((record) => this.visitRecord(record), 'iii');
  }

  get u8() { return this.module.HEAPU8; }
  get u32() { return this.module.HEAPU32; }
  // A size_t or a pointer a call returned: unsigned.
  unsigned(value) { return value >>> 0; }
  text(pointer, length) {
    return length === undefined ? this.module.UTF8ToString(pointer)
      : new TextDecoder().decode(this.u8.subarray(pointer, pointer + length));
  }

  // Throws the status's sentence with the handle's details.
  check(status, handle = 0) {
    if (status === cApi['D88_OK']) return;
    const details = handle ? this.text(this.module._d88_image_error(handle)) : '';
    const sentence = this.text(this.module._d88_status_text(status));
    throw new Error(details ? `${sentence}: ${details}` : sentence);
  }

  // Calls use with the texts as an array of C strings, freed after.
  withStrings(texts, use) {
    const pointers = texts.map((text) => {
      const size = this.module.lengthBytesUTF8(text) + 1;
      const pointer = this.module._malloc(size);
      this.module.stringToUTF8(text, pointer, size);
      return pointer;
    });
    const array = this.module._malloc(Math.max(pointers.length, 1) * 4);
    this.u32.set(pointers, array >> 2);
    try {
      return use(array, pointers);
    } finally {
      for (const pointer of pointers) this.module._free(pointer);
      this.module._free(array);
    }
  }

  version() {
    return this.text(this.module._d88_version());
  }

  // Room for an image of size bytes in the library's memory: the place to
  // read it into, then to open.
  reserve(size) {
    const data = this.module._malloc(Math.max(size, 1));
    if (!data) throw new Error(`no memory for an image of ${size} bytes`);
    return { data, size };
  }

  free(room) {
    this.module._free(room.data);
  }

  // Opens the image read into room (from reserve) under a name; the room is
  // freed when it cannot be opened, else by close.
  open(name, room) {
    const status = this.withStrings([name], (array, [namePointer]) =>
      this.module._d88_open_memory(room.data, room.size, namePointer, this.scratch));
    const handle = this.u32[this.scratch >> 2];
    if (status !== cApi['D88_OK']) {
      if (handle) this.module._d88_close(handle);
      this.free(room);
      this.check(status);
    }
    return { handle, ...room };
  }

  // A copy of the image's bytes from start to end.
  bytes(image, start, end) {
    return this.u8.slice(image.data + start, image.data + end);
  }

  close(image) {
    this.module._d88_close(image.handle);
    this.free(image);
  }

  // The d88info --json document of the image, as text, each disk's
  // "tracks" only counted (the page asks for a record when it shows one:
  // the records are nearly all of a big image's report), and its map (SVG,
  // or null for an image that cannot be read), as a copy of its UTF-8
  // bytes, from one survey. The text is decoded at its given length: a
  // search for its end in JavaScript costs more than the decoding. times,
  // when given, gets the milliseconds of the call (callMs) and of the
  // decoding and copying (decodeMs).
  reportAndMap(image, times = {}) {
    const out = this.scratch;  // four words: json, its length, svg, its length
    const started = performance.now();
    const tracks = cApi['D88_TRACKS_COUNTED'];
    const status = this.module._d88_report(image.handle, tracks, out, out + 4, out + 8, out + 12);
    this.check(status, image.handle);
    const [json, jsonLength, svg, svgLength] = this.u32.subarray(out >> 2, (out >> 2) + 4);
    const surveyed = performance.now();
    try {
      return { json: this.text(json, jsonLength), svg: svg ? this.u8.slice(svg, svg + svgLength) : null };
    } finally {
      this.module._d88_text_free(json);
      this.module._d88_text_free(svg);
      Object.assign(times, { callMs: surveyed - started, decodeMs: performance.now() - surveyed });
    }
  }

  // Runs the survey, the map and a cut once over a blank disk of its own, so
  // that the browser compiles and optimises that code while the user
  // chooses a file: the first survey in a fresh worker cost ten times the
  // next (the sample's report 74 ms, then 6 ms).
  warmUp() {
    const room = this.reserve(blankDisk.length);
    this.u8.set(blankDisk, room.data);
    const image = this.open('', room);
    try {
      for (let round = 0; round < warmUpRounds; ++round) {
        this.reportAndMap(image);
        this.cut(image, 'auto', []);
      }
    } finally {
      this.close(image);
    }
  }

  // What d88cut writes for the image, cut by mode (its key: "auto",
  // "table", "scan") in a run after images whose folders are named in
  // given: the folder, the files (their bytes copied out), the missing
  // ones, and the manifest.json and SHA256SUMS texts.
  cut(image, mode, given) {
    const m = this.module;
    const options = m._d88_cut_options_new();
    if (!options) throw new Error('no memory for the options of a cut');
    try {
      this.withStrings([mode, ...given], (array, [modeText, ...folders]) => {
        this.check(m._d88_cut_options_set_mode(options, modeText));
        for (const folder of folders) this.check(m._d88_cut_options_add_folder(options, folder));
      });
      this.lastStatus = m._d88_cut_image(image.handle, options, this.scratch);
      this.check(this.lastStatus, image.handle);
    } finally {
      m._d88_cut_options_free(options);
    }
    const cut = this.u32[this.scratch >> 2];
    try {
      const files = [];
      for (let i = 0, count = this.unsigned(m._d88_cut_file_count(cut)); i < count; ++i) {
        const file = m._d88_cut_file_at(cut, i);
        const data = this.unsigned(m._d88_cut_file_data(file));
        const size = this.unsigned(m._d88_cut_file_size(file));
        files.push({ name: this.text(m._d88_cut_file_name(file)), bytes: this.u8.slice(data, data + size), size,
          supplied: this.unsigned(m._d88_cut_file_supplied(file)), disk: m._d88_cut_file_disk(file),
          complete: m._d88_cut_file_complete(file) !== 0 });
      }
      const missing = [];
      for (let i = 0, count = this.unsigned(m._d88_cut_missing_count(cut)); i < count; ++i) {
        const file = m._d88_cut_missing_at(cut, i);
        missing.push({ name: this.text(m._d88_missing_file_name(file)), disk: m._d88_missing_file_disk(file),
          reason: this.text(m._d88_missing_file_reason(file)) });
      }
      const length = this.scratch + 4;
      const manifest = this.unsigned(m._d88_cut_manifest(cut, length));
      const manifestText = this.text(manifest, this.u32[length >> 2]);
      const sums = this.unsigned(m._d88_cut_checksums(cut, length));
      return {
        mode: this.text(m._d88_cut_mode(cut)), folder: this.text(m._d88_cut_folder(cut)), files, missing,
        manifest: manifestText, checksums: sums ? this.text(sums, this.u32[length >> 2]) : null,
      };
    } finally {
      m._d88_cut_free(cut);
    }
  }

  // The ways of taking files by key ("table", "scan", ...): a cut's modes
  // besides "auto".
  cutterKeys() {
    const keys = [];
    for (let i = 0, n = this.module._d88_cutter_count(); i < n; ++i) keys.push(this.text(this.module._d88_cutter_key(i)));
    return keys;
  }

  // As cut, or { notAnImage: the library's message } when the input holds
  // no D88 disk.
  cutOrRefusal(image, mode, given) {
    this.lastStatus = cApi['D88_OK'];
    try {
      return this.cut(image, mode, given);
    } catch (error) {
      if (this.lastStatus !== cApi['D88_ERR_NOT_AN_IMAGE']) throw error;
      return { notAnImage: this.text(this.module._d88_image_error(image.handle)) };
    }
  }

  // The files of disk by its own file system: the listing's facts and each
  // file's, the listing kept (free it with freeListing) for reading them.
  listFiles(image, disk) {
    const m = this.module;
    this.lastStatus = m._d88_list_files(image.handle, disk, this.scratch);
    this.check(this.lastStatus, image.handle);
    const listing = this.u32[this.scratch >> 2];
    const files = [];
    for (let i = 0, n = this.unsigned(m._d88_file_listing_file_count(listing)); i < n; ++i) {
      const file = m._d88_file_listing_file(listing, i);
      files.push({ index: i, path: this.text(m._d88_listed_file_path(file)), type: this.text(m._d88_listed_file_type(file)),
        size: Number(m._d88_listed_file_size(file)), state: this.text(m._d88_listed_file_state(file)),
        damagedSectors: this.unsigned(m._d88_listed_file_damaged_sector_count(file)) });
    }
    return {
      listing, disk, found: m._d88_file_listing_found(listing) !== 0, type: this.text(m._d88_file_listing_type(listing)),
      name: this.text(m._d88_file_listing_name(listing)), reason: this.text(m._d88_file_listing_reason(listing)),
      freeBytes: Number(m._d88_file_listing_free_bytes(listing)), files,
    };
  }

  diskCount(image) {
    return this.module._d88_disk_count(image.handle);
  }

  freeListing(listed) {
    this.module._d88_file_listing_free(listed.listing);
  }

  // A listed file's bytes (zeros where the disk lacks them), copied out.
  listedFileBytes(image, listed, index) {
    const m = this.module;
    const file = m._d88_file_listing_file(listed.listing, index);
    if (!file) throw new Error(`no file ${index} on disk ${listed.disk}`);
    const out = this.scratch;  // the bytes' pointer, their count
    this.check(m._d88_listed_file_bytes(image.handle, listed.listing, file, out, out + 4, 0), image.handle);
    const [data, size] = this.u32.subarray(out >> 2, (out >> 2) + 2);
    try {
      return this.u8.slice(data, data + size);
    } finally {
      m._d88_bytes_free(data);
    }
  }

  // The raw image of disk as d88convert writes it: its bytes, geometry and
  // whether it holds the disk exactly, with the kinds of what it could not
  // hold and their counts of sectors.
  toRaw(image, disk) {
    const m = this.module;
    this.check(m._d88_disk_to_raw(image.handle, disk, 0, 0, this.scratch), image.handle);
    const raw = this.u32[this.scratch >> 2];
    try {
      const data = this.unsigned(m._d88_raw_image_data(raw));
      const size = this.unsigned(m._d88_raw_image_size(raw));
      const findings = [];
      for (let kind = 0, n = m._d88_raw_finding_kind_count(); kind < n; ++kind) {
        const sectors = this.unsigned(m._d88_raw_image_finding_sectors(raw, kind));
        if (sectors > 0) findings.push({ sectors, text: this.text(m._d88_raw_finding_text(kind)) });
      }
      return { bytes: this.u8.slice(data, data + size), geometry: this.text(m._d88_raw_image_geometry(raw)),
        exact: m._d88_raw_image_exact(raw) !== 0, findings };
    } finally {
      m._d88_raw_image_free(raw);
    }
  }

  // The record at index of a track of disk, as the reader's walk meets it,
  // or null when the walk ends before it.
  record(image, disk, track, index) {
    this.check(this.module._d88_select_disk(image.handle, disk), image.handle);
    this.walk = { index, seen: 0, record: null };
    try {
      this.check(this.module._d88_walk_track(image.handle, track, this.visitor, 0, this.scratch), image.handle);
      return this.walk.record;
    } finally {
      this.walk = null;
    }
  }

  // A record's facts through its accessors; its position, 64 bits, comes
  // as a BigInt.
  visitRecord(record) {
    const walk = this.walk;
    if (walk.seen++ < walk.index) return 1;
    const m = this.module;
    m._d88_record_id(record, this.id);
    const byte = (member) => this.u8[this.id + cApi[`offsetof(d88_sector_id, ${member})`]];
    const status = m._d88_record_status(record);
    walk.record = {
      position: Number(m._d88_record_position(record)), c: byte('c'), h: byte('h'), r: byte('r'), n: byte('n'),
      count: m._d88_record_count(record), density: m._d88_record_density(record),
      deleted: m._d88_record_deleted(record), status, statusText: this.text(m._d88_record_status_text(status)),
      length: m._d88_record_length(record),
    };
    return 0;
  }
}
