// The page's figures, for bench/page.sh: for each image, RUNS times in a
// fresh page, the time from the file given to the report and map shown,
// and the survey's time in the worker (the report, its tracks counted, and
// the map) next to the CPU of the same calls natively (page_survey) and of
// d88info --json --map.
// Usage: node bench/page.mjs PAGE MEASURE D88INFO PAGE_SURVEY RUNS IMAGE...
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const { chromium } = createRequire(new URL('../web/package.json', import.meta.url))('playwright-core');
const [page, measure, d88info, pageSurvey, runs, ...images] = process.argv.slice(2);

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

// The CPU of the worker's calls run natively on the image's bytes, in ms:
// [the first of five runs in one process, their median].
function nativeCallsCpu(image) {
  return execFileSync(resolve(pageSurvey), [resolve(image), '5'], { encoding: 'utf8' }).trim().split(' ').map(Number);
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
  const nativeFirst = [];
  const nativeWarm = [];
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
    const [first, warm] = nativeCallsCpu(image);
    nativeFirst.push(first);
    nativeWarm.push(warm);
  }
  const [s, w, n, f, c] = [median(shown), median(wasm), median(native), median(nativeFirst), median(nativeWarm)];
  console.log(`${image} (${statSync(image).size} bytes), median of ${runs}:`);
  console.log(`  given to report shown: ${s.toFixed(0)} ms (target: 300 ms for the sample, 1.5 s for 64 disks)` +
    `${mapShown ? `; the map scrolled into view and drawn: ${median(inView).toFixed(0)} ms more (target: 1 s)` : ' (no map)'}`);
  console.log(`  report and map, WebAssembly in the worker: ${w.toFixed(1)} ms (target: at most 2.5 times native)`);
  console.log(`    the same calls natively, CPU: first in a process ${f.toFixed(1)} ms, ratio ${(w / f).toFixed(2)}; ` +
    `warm ${c.toFixed(1)} ms, ratio ${(w / c).toFixed(2)}`);
  console.log(`    d88info --json --map (its tracks listed), CPU: ${n.toFixed(0)} ms, ratio ${(w / n).toFixed(2)}`);
  console.log(`  in the worker, ms: ${Object.entries(steps).map(([step, ms]) => `${step.slice(0, -2)} ${median(ms).toFixed(0)}`)
    .join(', ')}`);
}
await browser.close();
