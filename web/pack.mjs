// Packs a page built as a folder (index.html with index.js, index.wasm and,
// when the program has files, index.data) into one self-contained .html that
// works opened straight from the disk: each file compressed with gzip and
// written into the page as base64, unpacked there by web/unpack.js.
//
//   node pack.mjs FOLDER/index.html OUTPUT.html
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';

function fail(message) {
  console.error(`pack.mjs: ${message}`);
  process.exit(1);
}

const [page, output] = process.argv.slice(2);
if (!page || !output) fail('usage: node pack.mjs FOLDER/index.html OUTPUT.html');
const folder = path.dirname(page);
const here = path.dirname(fileURLToPath(import.meta.url));

let html;
try {
  html = fs.readFileSync(page, 'utf8');
} catch (error) {
  fail(`cannot read ${page}: ${error.message}`);
}
// Where Emscripten put the program's script into the shell.
const tag = /<script async type="text\/javascript" src="index\.js"><\/script>/;
if (!tag.test(html)) fail(`${page} does not load index.js as Emscripten's pages do`);

function packed(name, required) {
  const file = path.join(folder, name);
  if (!fs.existsSync(file)) {
    if (required) fail(`${file} is missing`);
    return '';
  }
  const text = zlib.gzipSync(fs.readFileSync(file), { level: 9 }).toString('base64');
  const id = `vantrel-${path.extname(name).slice(1)}`;
  // Base64 holds no "<", so the text cannot end the element early.
  return `<script type="application/gzip;base64" id="${id}">${text}</script>\n`;
}

const loader = fs.readFileSync(path.join(here, 'unpack.js'), 'utf8');
const parts = packed('index.js', true) + packed('index.wasm', true) + packed('index.data', false);
const result = html.replace(tag, () => `${parts}<script>\n${loader}</script>`);

// Written beside the output and renamed, so a page is never seen half-written.
const temporary = `${output}.part`;
fs.writeFileSync(temporary, result);
fs.renameSync(temporary, output);
