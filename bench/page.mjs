// The page's figures, for bench/page.sh: for each image, RUNS times in a
// fresh page, the time from the file given to the report and map shown,
// and the survey's time in the worker (the report and the map) next to the
// CPU of d88info --json --map.
// Usage: node bench/page.mjs PAGE MEASURE D88INFO RUNS IMAGE...
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const { chromium } = createRequire(new URL('../web/package.json', import.meta.url))('playwright-core');
const [page, measure, d88info, runs, ...images] = process.argv.slice(2);

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The CPU (user + system) of one native run of the same survey, the report
// and the map of d88info --json --map, in ms, as the benchmarks' measure
// tool takes it from wait4.
function nativeCpu(image) {
  const work = mkdtempSync(join(tmpdir(), 'd88-page-bench-'));
  const line = execFileSync(measure, ['1', work, resolve(d88info), '--json', '--map', 'map.svg', resolve(image)],
    { encoding: 'utf8' });
  rmSync(work, { recursive: true });
  return Number(line.match(/cpu\s+([\d.]+) s/)[1]) * 1000;
}

async function pageRun(browser, image) {
  const context = await browser.newContext();
  const tab = await context.newPage();
  await tab.goto(pathToFileURL(resolve(page)).href);
  // A file is chosen once the page is ready, as a user chooses one: the
  // library, compiled in the worker, has named its version.
  await tab.waitForFunction(() => document.getElementById('version').textContent !== '', null, { timeout: 60000 });
  await tab.setInputFiles('#file-input', image);
  await tab.waitForFunction(() => performance.getEntriesByName('d88-shown').length > 0, null, { timeout: 120000 });
  const [shown, survey] = await tab.evaluate(() => ['d88-shown', 'd88-survey']
    .map((name) => performance.getEntriesByName(name)[0].duration));
  const times = await tab.evaluate(() => ({ ...performance.getEntriesByName('d88-survey')[0].detail,
    pageMs: performance.getEntriesByName('d88-shown')[0].startTime + performance.getEntriesByName('d88-shown')[0].duration -
      performance.getEntriesByName('d88-answered')[0].startTime }));
  const mapShown = await tab.locator('.map').count() > 0;
  // The map is laid out when it comes into view: the time that takes.
  const mapInView = await tab.evaluate(async () => {
    const started = performance.now();
    document.querySelector('.map').scrollIntoView();
    // The map is taken in when it comes near the view (d88-map-shown).
    while (performance.getEntriesByName('d88-map-shown').length === 0) await new Promise((r) => setTimeout(r, 10));
    await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
    return performance.now() - started;
  });
  await context.close();
  return { shown, survey, mapShown, mapInView, times };
}

const browser = await chromium.launch({
  executablePath: process.env.D88_CHROMIUM ?? '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
for (const image of images) {
  const shown = [];
  const inView = [];
  const wasm = [];
  const native = [];
  let mapShown = true;
  const steps = {};
  for (let i = 0; i < Number(runs); ++i) {
    const run = await pageRun(browser, image);
    shown.push(run.shown);
    inView.push(run.mapInView);
    wasm.push(run.survey);
    mapShown &&= run.mapShown;
    for (const [step, ms] of Object.entries(run.times)) if (step.endsWith('Ms')) (steps[step] ??= []).push(ms);
    native.push(nativeCpu(image));
  }
  const [s, w, n] = [median(shown), median(wasm), median(native)];
  console.log(`${image} (${statSync(image).size} bytes), median of ${runs}:`);
  console.log(`  given to report shown: ${s.toFixed(0)} ms (target: 300 ms for the sample, 1.5 s for 64 disks)` +
    `${mapShown ? `; the map scrolled into view and drawn: ${median(inView).toFixed(0)} ms more (target: 1 s)` : ' (no map)'}`);
  console.log(`  report and map, WebAssembly in the worker: ${w.toFixed(0)} ms; ` +
    `d88info --json --map CPU: ${n.toFixed(0)} ms; ` +
    `ratio ${(w / n).toFixed(2)} (target: at most 2.5)`);
  console.log(`  in the worker, ms: ${Object.entries(steps).map(([step, ms]) => `${step.slice(0, -2)} ${median(ms).toFixed(0)}`)
    .join(', ')}`);
}
await browser.close();
