// The library's C API (include/d88image/d88.h), compiled to WebAssembly, as
// the worker uses it. Only this file knows the C functions and the layout
// of their structures in 32-bit WebAssembly memory.
const cutModes = { auto: 0, table: 1, scan: 2 };

export class Library {
  constructor(module) {
    this.module = module;
    this.scratch = module._malloc(16);  // out-parameters
    this.walk = null;                  // the walk a visitor call belongs to
    this.visitor = module.addFunction((record) => this.visitRecord(record), 'iii');
  }

  get u8() { return this.module.HEAPU8; }
  get u32() { return this.module.HEAPU32; }
  get i32() { return this.module.HEAP32; }
  text(pointer, length) {
    return length === undefined ? this.module.UTF8ToString(pointer)
      : new TextDecoder().decode(this.u8.subarray(pointer, pointer + length));
  }

  // Throws the status's sentence with the handle's details.
  check(status, handle = 0) {
    if (status === 0) return;
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
    if (status !== 0) {
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

  // The d88info --json document of the image and its map (SVG, or null for
  // an image that cannot be read), as texts, from one survey. Each text is
  // decoded at its given length: a search for its end in JavaScript costs
  // more than the decoding.
  reportAndMap(image) {
    const out = this.scratch;  // four words: json, its length, svg, its length
    const status = this.module._d88_report_and_map(image.handle, out, out + 4, out + 8, out + 12);
    this.check(status, image.handle);
    const [json, jsonLength, svg, svgLength] = this.u32.subarray(out >> 2, (out >> 2) + 4);
    try {
      return { json: this.text(json, jsonLength), svg: svg ? this.text(svg, svgLength) : null };
    } finally {
      this.module._d88_text_free(json);
      this.module._d88_text_free(svg);
    }
  }

  // What d88cut writes for the image, cut in a run after images whose
  // folders are named in given: the files (their bytes copied out), the
  // missing ones, and the manifest.json and SHA256SUMS texts.
  cut(image, mode, given) {
    const status = this.withStrings(given, (array) =>
      this.module._d88_cut_image_after(image.handle, cutModes[mode], array, given.length, this.scratch));
    this.check(status, image.handle);
    const cut = this.u32[this.scratch >> 2];
    try {
      const field = (i) => this.u32[(cut >> 2) + i];
      const files = [];
      for (let i = 0, at = field(2) >> 2; i < field(1); ++i, at += 6) {
        const [name, data, size, supplied, disk, complete] = this.u32.subarray(at, at + 6);
        files.push({ name: this.text(name), bytes: this.u8.slice(data, data + size), size, supplied,
          disk: this.i32[at + 4], complete: complete !== 0 });
      }
      const missing = [];
      for (let i = 0, at = field(4) >> 2; i < field(3); ++i, at += 3) {
        missing.push({ name: this.text(this.u32[at]), disk: this.i32[at + 1], reason: this.text(this.u32[at + 2]) });
      }
      return {
        mode: this.text(field(0)), files, missing,
        manifest: this.text(field(5), field(6)),
        checksums: field(7) ? this.text(field(7), field(8)) : null,
      };
    } finally {
      this.module._d88_cut_free(cut);
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

  // d88_record: position (64 bits), c h r n, count, density, deleted,
  // status, length (32 bits each).
  visitRecord(pointer) {
    const walk = this.walk;
    if (walk.seen++ < walk.index) return 1;
    const at = pointer >> 2;
    const [c, h, r, n] = this.u8.subarray(pointer + 8, pointer + 12);
    const status = this.i32[at + 6];
    walk.record = {
      position: this.u32[at] + this.u32[at + 1] * 2 ** 32, c, h, r, n,
      count: this.i32[at + 3], density: this.i32[at + 4], deleted: this.i32[at + 5],
      status, statusText: this.text(this.module._d88_record_status_text(status)), length: this.i32[at + 7],
    };
    return 0;
  }
}
