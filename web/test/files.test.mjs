// A disk's own files on the page, against what made them and the
// programs: a PC-98 2HD FAT12 disk that mtools formats and fills, made D88
// by d88convert; each file the table lists, downloaded, is the file mcopy
// was given, and the disk's raw image is the one mtools made, as d88convert
// gives it back. A file that is no D88 image says so, in the library's words.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { assertQuiet, download, launchBrowser, openPage, run, tempFolder } from './support.mjs';

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
});

const given = { 'ONE.BIN': 1, 'SECTOR.DAT': 1024, 'BIG.BIN': 30000 };
const pattern = (seed, size) => Buffer.from(Array.from({ length: size }, (_, i) => (seed * 31 + i * 7 + (i >> 8)) & 0xff));

function mtools(folder, ...args) {
  execFileSync(args[0], args.slice(1), { cwd: folder, env: { ...process.env, MTOOLS_SKIP_CHECK: '1', MTOOLSRC: '/dev/null' } });
}

// fat.hdm (raw, as mtools made it) and fat.d88 (d88convert's) in folder,
// and the files put on it.
function fatDisk(folder) {
  mtools(folder, 'mformat', '-C', '-i', 'fat.hdm', ...'-t 77 -h 2 -s 8 -S 3 -M 1024 -L 2 -c 1 -r 6'.split(' '), '::');
  const files = new Map();
  for (const [i, [name, size]] of Object.entries(given).entries()) {
    files.set(name, pattern(i + 1, size));
    writeFileSync(join(folder, name), files.get(name));
    mtools(folder, 'mcopy', '-i', 'fat.hdm', name, '::');
  }
  assert.equal(run('d88convert', ['fat.hdm', 'fat.d88'], folder).status, 0);
  return files;
}

const haveMtools = (() => {
  try {
    execFileSync('mformat', ['--version'], { stdio: 'ignore' });
    return true;
  } catch {
    return false;
  }
})();

test('a disk\'s files and its raw image are the bytes that made them', { skip: !haveMtools && 'mtools is missing' }, async () => {
  const folder = tempFolder('files');
  const files = fatDisk(folder);
  writeFileSync(join(folder, 'notes.txt'), 'not a disk image at all\n');
  const { context, page, seen } = await openPage(browser);
  await page.setInputFiles('#file-input', [join(folder, 'fat.d88'), join(folder, 'notes.txt')]);
  const shown = page.locator('section.image[data-name="fat.d88"][data-listed]');
  await shown.waitFor();

  const rows = await shown.locator('table:has(caption:text-is("Files of disk 0")) tbody tr')
    .evaluateAll((trs) => trs.map((tr) => [...tr.cells].slice(0, 4).map((cell) => cell.textContent)));
  assert.deepEqual(rows.map(([name, , size, state]) => [name, size, state]).sort(),
    [...files].map(([name, bytes]) => [name, bytes.length.toLocaleString('en-US'), 'complete']).sort());
  for (const [name, bytes] of files) {
    const got = await download(page, () => shown.getByRole('button', { name: `Download ${name} of disk 0` }).click());
    assert.equal(got.name, name);
    assert.ok(got.bytes.equals(bytes), `${name} differs`);
  }

  const raw = await download(page, () => shown.getByRole('button', { name: 'Download disk 0 as raw image' }).click());
  assert.equal(raw.name, 'fat.img');
  assert.ok(raw.bytes.equals(readFileSync(join(folder, 'fat.hdm'))), 'the raw image is not the one mtools made');
  assert.equal(run('d88convert', ['fat.d88', 'back.img'], folder).status, 0);
  assert.ok(raw.bytes.equals(readFileSync(join(folder, 'back.img'))), 'the raw image is not d88convert\'s');
  assert.equal(await shown.locator('.disk-files[data-disk="0"] .raw-said').textContent(),
    'The raw image (77 x 2 x 8 x 1024) holds the disk exactly.');

  const refused = page.locator('section.image[data-name="notes.txt"][data-cut="not-an-image"] p.not-an-image');
  assert.match(await refused.textContent(), /not a D88 image/);
  assertQuiet(assert, seen);
  await context.close();
});
