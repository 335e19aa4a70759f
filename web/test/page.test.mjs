// The page in Debian's Chromium, opened from file:// as a user would: the
// samples and damaged images given through the file input, what it shows
// compared with d88info --json, and what it hands out compared byte for
// byte with what d88cut writes.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import {
  assertQuiet, d88cutFiles, d88infoJson, download, launchBrowser, openPage, sampleFolder, screenshot, tempFolder,
  unpack, unzip,
} from './support.mjs';

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
});

const samples = ['three-disks.d88', 'scan-disks.d88'];
const sampleBytes = (name) => readFileSync(join(sampleFolder, name));

// A fresh folder holding the images (name -> bytes).
function folderWith(name, images) {
  const folder = tempFolder(name);
  for (const [file, bytes] of Object.entries(images)) writeFileSync(join(folder, file), bytes);
  return folder;
}
const samplesIn = (name) => folderWith(name, Object.fromEntries(samples.map((s) => [s, sampleBytes(s)])));

const count = (n) => n.toLocaleString('en-US');
const section = (page, name) => page.locator(`section.image[data-name="${name}"]`);

async function cellTexts(rows) {
  return rows.evaluateAll((trs) => trs.map((tr) => [...tr.cells].map((cell) => cell.textContent)));
}

// Gives the images to the file input and waits until each is shown and cut.
async function openImages(page, folder, names) {
  await page.setInputFiles('#file-input', names.map((name) => join(folder, name)));
  for (const name of names) await section(page, name).and(page.locator('[data-cut]')).last().waitFor();
}

async function chooseMode(page, mode, names) {
  await page.check(`input[name="mode"][value="${mode}"]`);
  for (const name of names) await section(page, name).and(page.locator('[data-cut]')).waitFor();
}

// The summary, the damage and the preview as the report has them.
async function assertShows(page, image, name) {
  const shown = section(page, name);
  assert.equal(await shown.locator('.status').textContent(), image.status, `${name}: status`);
  // The disks told of one by one (a disk indexed again shows in a run).
  const rows = (await cellTexts(shown.locator('table:has(caption:text-is("Disks")) tbody tr')))
    .filter((cells) => !cells[0].includes('–'));
  const disks = image.disks.filter((disk) => !disk.blank && disk.same_as === null);
  assert.deepEqual(rows.map((cells) => cells.slice(0, 3)),
    disks.map((disk) => [String(disk.index), disk.name, disk.media_name]), `${name}: disks`);
  // A disk of no known kind says so plainly; the probes' note waits behind "details".
  rows.forEach((cells, i) => assert.ok(
    cells[4].toLowerCase().startsWith(disks[i].kind ?? 'not one of the three disks tablecut knows'),
    `${name}: disk ${i}'s kind`));
  assert.equal(await shown.locator('details.kind-note:not([open])').count(),
    disks.filter((disk) => disk.kind === null && disk.kind_note).length, `${name}: kind notes folded`);
  const kinds = await shown.locator('ul.damage li').evaluateAll((items) => items.map((li) => li.dataset.kind));
  const damage = image.anomalies.filter((a) => a.severity === 'damage').map((a) => a.kind);
  assert.deepEqual(kinds, [...new Set(damage)], `${name}: kinds of damage`);
  for (const [cutter, files] of [['table', image.tablecut], ['scanning', image.scancut]]) {
    if (files.length === 0) continue;
    const rows = await cellTexts(shown.locator(`table:has(caption:text-matches("^The ${cutter} cutter")) tbody tr`));
    assert.deepEqual(rows.map((cells) => cells[0]), files.map((file) => file.name), `${name}: ${cutter} cutter`);
    files.forEach((file, i) => {
      if (file.padded_from !== null) assert.match(rows[i].at(-1), new RegExp(`zero-padded from byte ${count(file.padded_from)}`));
    });
  }
}

const downloadAll = (page) =>
  download(page, () => page.getByRole('button', { name: "Download every image's files (.zip)" }).click());

// A zip from the page against d88cut's folders: the same paths, the same
// bytes, and sha256sum -c passes in each folder that has SHA256SUMS.
function assertZipIsCut(zip, expected) {
  const entries = unzip(zip);
  assert.deepEqual([...entries.keys()], [...expected.keys()]);
  for (const [path, bytes] of expected) assert.ok(entries.get(path).equals(bytes), `${path} differs`);
  const unpacked = tempFolder('unzipped');
  unpack(entries, unpacked);
  for (const path of entries.keys()) {
    if (path.endsWith('/SHA256SUMS')) {
      execFileSync('sha256sum', ['-c', '--quiet', 'SHA256SUMS'], { cwd: join(unpacked, path, '..') });
    }
  }
}

test('the samples: the report d88info gives, and in each mode the files d88cut writes', async () => {
  const folder = samplesIn('samples');
  const report = d88infoJson(folder, samples);
  const { context, page, seen } = await openPage(browser);
  await openImages(page, folder, samples);
  for (const [i, name] of samples.entries()) await assertShows(page, report.images[i], name);
  await screenshot(page, 'samples');

  for (const [mode, options] of [['auto', []], ['table', ['--table']], ['scan', ['--scan']]]) {
    await chooseMode(page, mode, samples);
    const expected = d88cutFiles(samplesIn(mode), samples, options);
    const zip = await downloadAll(page);
    assertZipIsCut(zip.bytes, expected);
    if (mode !== 'auto') continue;
    // One image's zip, and one file on its own.
    const three = section(page, 'three-disks.d88');
    const own = await download(page, () => three.getByRole('button', { name: 'Download all files (.zip)' }).click());
    assert.equal(own.name, 'three-disks.zip');
    assertZipIsCut(own.bytes, new Map([...expected].filter(([path]) => path.startsWith('three-disks/'))));
    const file = await download(page, () => three.getByRole('button', { name: 'Download KX201' }).click());
    assert.equal(file.name, 'KX201');
    assert.ok(file.bytes.equals(expected.get('three-disks/KX201')));
  }
  assertQuiet(assert, seen);
  await context.close();
});

// Cut short inside the Scenario Disk: KX200 loses its last sector.
const damaged = {
  'cut-short.d88': () => sampleBytes('three-disks.d88').subarray(0, 1417760),
  'zeros.d88': () => Buffer.alloc(4096),
};

test('damaged images show their damage, their zero-padded file, what d88cut makes of them and a table of the images', async () => {
  const images = Object.fromEntries(Object.entries(damaged).map(([name, make]) => [name, make()]));
  const names = Object.keys(images);
  const folder = folderWith('damaged', images);
  const report = d88infoJson(folder, names);
  const { context, page, seen } = await openPage(browser);
  await openImages(page, folder, names);
  for (const [i, name] of names.entries()) await assertShows(page, report.images[i], name);
  assert.equal(report.images[0].status, 'damaged');
  assert.ok(report.images[0].tablecut.some((file) => file.name === 'KX200' && file.padded_from !== null));

  const expected = d88cutFiles(folderWith('damaged-cut', images), names);
  const manifest = JSON.parse(expected.get('cut-short/manifest.json'));
  const padded = manifest.files.find((file) => file.name === 'KX200');
  assert.equal(padded.complete, false);
  const rows = await cellTexts(section(page, 'cut-short.d88').locator('table:has(caption:text-is("Files")) tbody tr'));
  assert.deepEqual(rows.find((cells) => cells[0] === 'KX200').slice(0, 4),
    ['KX200', String(padded.disk), count(padded.size), `zero-padded from byte ${count(padded.supplied)}`]);
  // zeros.d88 is no D88 image: d88cut makes no folder for it, and the page
  // says that nothing can be cut.
  assert.ok(![...expected.keys()].some((path) => path.startsWith('zeros/')));
  await section(page, 'zeros.d88').locator('p.error', { hasText: 'Nothing can be cut' }).waitFor();
  const zip = await download(page, () =>
    section(page, 'cut-short.d88').getByRole('button', { name: 'Download all files (.zip)' }).click());
  assertZipIsCut(zip.bytes, expected);
  // The table of the images: a row for each, linking to its section.
  const table = page.locator('table:has(caption:text-is("The images read"))');
  assert.deepEqual(await cellTexts(table.locator('tbody tr')), report.images.map((image, i) => [names[i], image.status,
    count(image.disk_count), i === 0 ? count(manifest.files.length) : 'none',
    image.status === 'unreadable' ? '–' : count(image.anomalies.filter((a) => a.severity === 'damage').length)]));
  for (const name of names) {
    assert.equal(await table.getByRole('link', { name }).getAttribute('href'),
      `#${await section(page, name).getAttribute('id')}`);
  }
  await screenshot(page, 'damaged');

  // The same image again: its folder is named as d88cut names a second one.
  await openImages(page, folder, ['cut-short.d88']);
  const again = d88cutFiles(folderWith('damaged-again', images), [...names, 'cut-short.d88']);
  assert.ok(again.has('cut-short-2/manifest.json'));
  assertZipIsCut((await downloadAll(page)).bytes, again);
  assertQuiet(assert, seen);
  await context.close();
});

// Every map's text lies inside the map, at 11 px or more as shown, no
// panel runs into another, and the map is no wider than its box.
async function assertMapsFit(page, names) {
  await page.addStyleTag({ content: '.map { content-visibility: visible; }' });
  for (const name of names) {
    // A map is taken in when its box comes near the view.
    await section(page, name).locator('.map').scrollIntoViewIfNeeded();
    const seen = await section(page, name).locator('.map > svg').evaluate((svg) => {
      const box = svg.getBoundingClientRect();
      const scale = box.width / svg.viewBox.baseVal.width;
      const outside = (r) => r.left < box.left - 0.5 || r.right > box.right + 0.5 || r.top < box.top - 0.5
        || r.bottom > box.bottom + 0.5;
      const out = [];
      let smallest = Infinity;
      for (const text of svg.querySelectorAll('text')) {
        const r = text.getBoundingClientRect();
        smallest = Math.min(smallest, parseFloat(getComputedStyle(text).fontSize) * scale);
        if (outside(r)) out.push(text.textContent);
      }
      const panels = [...svg.querySelectorAll('[data-disk]')].map((g) => g.getBoundingClientRect());
      const overlapping = [];
      panels.forEach((a, i) => panels.slice(i + 1).forEach((b, j) => {
        if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) overlapping.push([i, i + 1 + j]);
      }));
      return { out, smallest, overlapping, width: box.width, room: svg.parentElement.clientWidth };
    });
    assert.deepEqual(seen.out, [], `${name}: text outside the map`);
    assert.deepEqual(seen.overlapping, [], `${name}: panels that run into each other`);
    assert.ok(seen.smallest >= 11 - 0.05, `${name}: text of ${seen.smallest} px`);
    assert.ok(seen.width <= seen.room + 0.5, `${name}: a map ${seen.width} px wide in a box of ${seen.room}`);
  }
}

test('maps of one, two and three disks and a damaged one fit the page, light and dark', async () => {
  const three = sampleBytes('three-disks.d88');
  const images = {
    'one.d88': three.subarray(0, 1281968),
    'two.d88': three.subarray(0, 2 * 1281968),
    'three.d88': three,
    'cut-short.d88': damaged['cut-short.d88'](),
    'twelve.d88': Buffer.concat([three, three, three, three]),
  };
  const names = Object.keys(images);
  const folder = folderWith('maps', images);
  const { context, page, seen } = await openPage(browser);
  await openImages(page, folder, names);
  await assertMapsFit(page, names);
  // A big map takes its disks' panels in as they come near the view: the
  // last one is drawn once the map's end is scrolled to.
  const big = section(page, 'twelve.d88').locator('.map');
  await big.evaluate((map) => map.querySelector('svg').lastElementChild.scrollIntoView());
  await big.locator('[data-disk="11"] [data-track="153"] [data-index="7"]').waitFor();
  // The footer tells the version once it has it, and nothing before.
  await page.locator('footer').waitFor();
  assert.match(await page.locator('footer').innerText(), /^d88image [^\s,]/);
  await page.emulateMedia({ colorScheme: 'dark' });
  const background = await section(page, 'three.d88').locator('.map rect.bg').evaluate((rect) =>
    getComputedStyle(rect).fill);
  assert.notEqual(background, 'rgb(255, 255, 255)', 'the map follows a dark scheme');
  await screenshot(page, 'maps-dark');
  assertQuiet(assert, seen);
  await context.close();
});

test('a record picked on the map or by keyboard shows its facts and bytes', async () => {
  const folder = samplesIn('record');
  const name = 'three-disks.d88';
  const report = d88infoJson(folder, [name], ['--sectors']);
  const { context, page, seen } = await openPage(browser);
  await openImages(page, folder, [name]);
  const shown = section(page, name);
  const bytes = sampleBytes(name);
  for (const [disk, track, index, how] of [[1, 3, 5, 'map'], [2, 152, 7, 'keyboard']]) {
    const record = report.images[0].disks[disk].tracks.find((t) => t.index === track).records[index];
    if (how === 'map') {
      await shown.locator(`.map [data-disk="${disk}"] [data-track="${track}"] [data-index="${index}"]`).click();
    } else {
      await shown.getByLabel('Disk', { exact: true }).focus();
      for (const value of [disk, track, index]) {
        await page.keyboard.press('Control+A');
        await page.keyboard.type(String(value));
        await page.keyboard.press('Tab');
      }
      await page.keyboard.press('Enter');
    }
    const detail = shown.locator('.record-detail');
    await detail.locator(`h4:text-is("Disk ${disk}, track ${track}, record ${index}")`).waitFor();
    const facts = Object.fromEntries(await cellTexts(detail.locator('table.facts tr')).then((rows) =>
      rows.map(([key, value]) => [key, value])));
    for (const [label, key] of [['C', 'c'], ['H', 'h'], ['R', 'r'], ['N', 'n'], ['Count', 'count']]) {
      assert.equal(facts[label], String(record[key]), label);
    }
    assert.match(facts.Position, new RegExp(`\\(${count(record.position)}\\)`));
    assert.equal(facts.Status, '0x00: ok');
    const data = bytes.subarray(record.position + 16, record.position + 16 + 16);
    const firstLine = (await detail.locator('pre.dump').textContent()).split('\n')[0];
    assert.equal(firstLine.slice(8, 55), [...data].map((b) => b.toString(16).padStart(2, '0')).join(' '));
  }
  await screenshot(page, 'record');
  assertQuiet(assert, seen);
  await context.close();
});
