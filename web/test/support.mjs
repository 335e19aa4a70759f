// What the browser tests share: Debian's Chromium driven by playwright-core
// (nothing downloads a browser), the built page opened from file://, a
// watch on its console and requests, the native programs to compare with,
// and zips read back.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { unzipSync } from 'fflate';
import { chromium } from 'playwright-core';

const required = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set (run the tests through web/run_browser_tests.sh)`);
  return value;
};
export const pagePath = required('D88_PAGE');
export const binFolder = required('D88_BIN');
export const sampleFolder = required('D88_SAMPLES');
export const outputFolder = required('D88_TEST_OUTPUT');
mkdirSync(outputFolder, { recursive: true });

export async function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.D88_CHROMIUM ?? '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// Opens the page in a fresh context (its own profile) and keeps what it
// says: console errors, uncaught errors, failed requests, and every request
// made after the page has loaded.
export async function openPage(browser, options = {}) {
  const context = await browser.newContext({ acceptDownloads: true, ...options });
  const page = await context.newPage();
  const seen = { errors: [], failed: [], afterLoad: [] };
  let loaded = false;
  page.on('console', (message) => {
    if (message.type() === 'error') seen.errors.push(message.text());
  });
  page.on('pageerror', (error) => seen.errors.push(String(error)));
  page.on('requestfailed', (request) => seen.failed.push(request.url()));
  page.on('request', (request) => {
    if (loaded) seen.afterLoad.push(request.url());
  });
  await page.goto(pathToFileURL(pagePath).href, { waitUntil: 'load' });
  loaded = true;
  return { context, page, seen };
}

// No error, no failed request, and nothing fetched after load but the
// page's own in-memory blob: URLs (its worker, its downloads).
export function assertQuiet(assert, seen) {
  assert.deepEqual(seen.errors, [], 'console errors');
  assert.deepEqual(seen.failed, [], 'failed requests');
  assert.deepEqual(seen.afterLoad.filter((url) => !url.startsWith('blob:')), [], 'requests after load');
}

export function tempFolder(name) {
  return mkdtempSync(join(tmpdir(), `d88-web-${name}-`));
}

// Runs a native program; its exit status is returned, not thrown.
export function run(program, args, cwd) {
  try {
    const options = { cwd, encoding: 'utf8', maxBuffer: 1 << 30 };
    return { status: 0, stdout: execFileSync(join(binFolder, program), args, options) };
  } catch (error) {
    if (typeof error.status !== 'number') throw error;
    return { status: error.status, stdout: error.stdout };
  }
}

export function d88infoJson(folder, names, options = []) {
  return JSON.parse(run('d88info', ['--json', ...options, ...names], folder).stdout);
}

// What d88cut writes for the images in folder, run there so that it names
// them and their folders as the page does: every file in the folders it
// makes, by its path.
export function d88cutFiles(folder, names, options = []) {
  run('d88cut', ['-q', ...options, ...names], folder);
  return new Map([...listFiles(folder)].filter(([path]) => path.includes('/')));
}

export function listFiles(root) {
  const listing = execFileSync('find', [root, '-type', 'f', '-printf', '%P\\n'], { encoding: 'utf8' });
  const files = new Map();
  for (const path of listing.split('\n').filter(Boolean).sort()) files.set(path, readFileSync(join(root, path)));
  return files;
}

// The download a click starts, as bytes.
export async function download(page, click) {
  const [started] = await Promise.all([page.waitForEvent('download'), click()]);
  return { name: started.suggestedFilename(), bytes: readFileSync(await started.path()) };
}

// A zip's entries by path (folders left out), and the zip unpacked into a
// fresh folder.
export function unzip(bytes) {
  const entries = unzipSync(new Uint8Array(bytes));
  return new Map(Object.entries(entries).filter(([path]) => !path.endsWith('/')).sort()
    .map(([path, data]) => [path, Buffer.from(data)]));
}

export function unpack(entries, folder) {
  for (const [path, data] of entries) {
    mkdirSync(dirname(join(folder, path)), { recursive: true });
    writeFileSync(join(folder, path), data);
  }
}

// The whole page, its maps drawn too (the page lays a map out only when it
// comes into view, which a picture of the whole page does not count as).
export async function screenshot(page, name) {
  await page.addStyleTag({ content: '.map { content-visibility: visible; }' });
  await page.screenshot({ path: join(outputFolder, `${name}.png`), fullPage: true });
}
