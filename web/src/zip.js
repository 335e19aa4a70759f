// One zip of several image folders, each holding what d88cut writes into
// it: the files, then SHA256SUMS and manifest.json.
import { zipSync } from 'fflate';

const utf8 = new TextEncoder();

export function zipFolders(folders) {
  const tree = {};
  for (const { folder, cut } of folders) {
    const entries = {};
    for (const file of cut.files) entries[file.name] = file.bytes;
    if (cut.checksums !== null) entries.SHA256SUMS = utf8.encode(cut.checksums);
    entries['manifest.json'] = utf8.encode(cut.manifest);
    tree[folder] = entries;
  }
  return zipSync(tree, { level: 6 });
}
