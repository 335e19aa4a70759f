// Makes the page one self-contained HTML file, d88image.html: the style, the
// page's script and, as text the page starts its worker from, the worker's
// script with the zip library and the library compiled to WebAssembly
// (base64) inlined. It opens from file:// and from any web server alike.
//
// The page's modules are plain ES modules of a simple form, joined here in
// the order their imports need: `import { a, b } from './x.js';` (x.js is
// put before the module, once), `import { a } from 'package';` (the
// package's browser build, which defines a global of its name), and
// `export` only before a declaration.
//
// Usage: node web/build.mjs LOADER.js MODULE.wasm OUT.html
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import vm from 'node:vm';

const here = dirname(fileURLToPath(import.meta.url));
const packages = { fflate: join(here, 'node_modules/fflate/umd/index.js') };
const maxSize = 1024 * 1024;

const source = (name) => readFileSync(join(here, 'src', name), 'utf8');
const importLine = /^import \{([^}]*)\} from '([^']+)';$/;
const declaration = /^export (?=(async function|function|const|let|class) )/;

function bundle(entry) {
  const included = new Set();
  const prelude = [];
  const parts = [];
  const add = (name) => {
    if (included.has(name)) return;
    included.add(name);
    const lines = source(name).split('\n').map((line) => {
      const [, names, from] = line.match(importLine) ?? [];
      if (from?.startsWith('./')) {
        add(from.slice(2));
        return '';
      }
      if (from) {
        if (!packages[from]) throw new Error(`${name}: no browser build known for '${from}'`);
        if (!included.has(from)) prelude.push(readFileSync(packages[from], 'utf8'));
        included.add(from);
        return `const {${names}} = ${from};`;
      }
      if (/^(import|export)\b/.test(line) && !declaration.test(line)) throw new Error(`${name}: cannot join: ${line}`);
      return line.replace(declaration, '');
    });
    parts.push(`// ${name}\n${lines.join('\n')}`);
  };
  add(entry);
  return `${prelude.join('\n')}\n(() => {\n'use strict';\n${parts.join('\n')}\n})();\n`;
}

// Text inside a <script> element must not close it.
function scriptText(text, what) {
  new vm.Script(text, { filename: what });  // a syntax error fails the build, not the page
  if (/<\/script/i.test(text)) throw new Error(`${what} holds "</script"`);
  return text;
}

const [loaderPath, wasmPath, outPath] = process.argv.slice(2);
if (!outPath) {
  console.error('usage: node web/build.mjs LOADER.js MODULE.wasm OUT.html');
  process.exit(2);
}
const wasm = readFileSync(wasmPath).toString('base64');
const worker = scriptText(
  `const D88_WASM_BASE64 = '${wasm}';\n${readFileSync(loaderPath, 'utf8')}\n${bundle('worker.js')}`, 'the worker');
const script = scriptText(bundle('main.js'), 'the page script');
// Only this script runs in the page; the worker runs from a blob: URL; the
// page connects nowhere (no fetch, no images or fonts from outside).
const csp = [
  "default-src 'none'",
  `script-src 'sha256-${createHash('sha256').update(`\n${script}\n`).digest('base64')}' 'wasm-unsafe-eval'`,
  'worker-src blob:',
  "style-src 'unsafe-inline'",
  "base-uri 'none'",
  "form-action 'none'",
].join('; ');
const fill = { CSP: csp, STYLE: source('style.css'), WORKER: worker, SCRIPT: script };
const page = source('page.html').replace(/\{\{(\w+)\}\}/g, (_, key) => fill[key]);
const size = Buffer.byteLength(page);
if (size > maxSize) throw new Error(`the page is ${size} bytes, more than ${maxSize}`);
writeFileSync(outPath, page);
console.log(`${outPath}: ${size} bytes`);
