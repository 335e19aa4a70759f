// The folder each image's files go to, named as d88cut names them in one
// run: the file name without its extension (as the C++ library takes a
// path's stem), and -2, -3, ... for a name already given.
function stem(fileName) {
  if (fileName === '.' || fileName === '..') return fileName;
  const dot = fileName.lastIndexOf('.');
  return dot > 0 ? fileName.slice(0, dot) : fileName;
}

export class FolderNames {
  constructor() {
    this.given = new Set();
  }

  folderFor(fileName) {
    let base = stem(fileName);
    // A name that would lead into the folder above.
    if (base === '' || base === '.' || base === '..') base = 'image';
    let name = base;
    for (let n = 2; this.given.has(name); ++n) name = `${base}-${n}`;
    this.given.add(name);
    return name;
  }
}
