// The playground, as a learner and a teacher use it: its server started as
// ./dev playground starts it, its API's answers and refusals, and its page in
// Debian's Chromium, headless: type a program and run it, a compile error
// marked on its line, the code kept across a reload, a shared link, an
// example, a hand-in, and 30 builds sent at once.
//
//   node playground_test.mjs REPO_DIR KIT            every check
//   node playground_test.mjs --measure REPO_DIR KIT  the goals' figures, as a table
//
// VANTREL_NODE_MODULES names the folder holding puppeteer-core and pngjs.
// Every wait has a limit; a watchdog ends the browser, the server and the
// run after fifteen minutes.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { CheckFailure, expect, runChecks, sleep } from './checks.mjs';

const args = process.argv.slice(2);
const measuring = args[0] === '--measure';
if (measuring) args.shift();
const [repo, kit] = args.map((a) => path.resolve(a));
const require = createRequire(path.join(process.env.VANTREL_NODE_MODULES, 'node_modules', 'index.js'));
const puppeteer = require('puppeteer-core');
const { PNG } = require('pngjs');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-playground-test-'));
const TOKEN = 'class-code-7f3a';
let server;
let browser;
let base;


function program(colour, extra = '') {
  return `#include "canvas/canvas.h"
int main() {
    Canvas& c = Canvas::getInstance();
    c.initWorld(0, 0, 200, 150, "test");
    c.setBackgroundColor(Color(${colour}));${extra}
    c.start();
    while (c.isRunning()) { c.clear(); c.update(); }
    return 0;
}
`;
}

function startServer() {
  return new Promise((resolve, reject) => {
    server = spawn(process.execPath, [path.join(repo, 'tools/installed/playground/server.mjs'), '--kit', kit,
      '--listen', '127.0.0.1:0', '--class', path.join(work, 'class'), '--token', TOKEN, '-j', '2',
      '--cache', path.join(work, 'cache'), '--examples', path.join(repo, 'examples')], { stdio: ['ignore', 'pipe', 'inherit'] });
    let text = '';
    server.stdout.on('data', (chunk) => {
      text += chunk;
      const m = /http:\/\/[^/\s]+\//.exec(text);
      if (m) resolve(m[0].slice(0, -1));
    });
    server.on('exit', (code) => reject(new Error(`the server ended with status ${code}: ${text}`)));
    setTimeout(() => reject(new Error('the server did not say its address within 20 s')), 20000);
  });
}

async function post(where, body, raw = false) {
  const response = await fetch(base + where, { method: 'POST', headers: { 'Content-Type': 'application/json' },
    body: raw ? body : JSON.stringify(body) });
  return { status: response.status, headers: response.headers, answer: await response.json().catch(() => null) };
}

// POST /api/build as the page does: again after a 503's Retry-After.
async function build(files, assets = {}) {
  for (let tries = 0; tries < 100; tries++) {
    const r = await post('/api/build', { files, assets });
    if (r.status !== 503) return r;
    expect(Number(r.headers.get('retry-after')) > 0, 'a 503 without Retry-After');
    await sleep(Number(r.headers.get('retry-after')) * 1000);
  }
  throw new CheckFailure('still busy after 100 tries');
}

// The share of the iframe's picture in the colour, from a screenshot; with
// spot, of only a few pixels at its centre, which is quicker to take.
async function colourShare(page, colour, spot = false) {
  const frame = await page.$('#program');
  let shot;
  if (spot) {
    // The program's canvas, wherever the page puts it in the frame.
    const canvas = await (await frame.contentFrame())?.$('canvas');
    const box = await canvas?.boundingBox();
    if (!box) return 0;
    shot = await page.screenshot({ type: 'png', clip: { x: box.x + box.width / 2 - 4, y: box.y + box.height / 2 - 4, width: 8, height: 8 } });
  } else {
    shot = await frame.screenshot({ type: 'png' });
  }
  const png = PNG.sync.read(Buffer.from(shot));
  let n = 0;
  for (let i = 0; i < png.data.length; i += 4) {
    if (Math.abs(png.data[i] - colour[0]) + Math.abs(png.data[i + 1] - colour[1]) + Math.abs(png.data[i + 2] - colour[2]) < 8) n++;
  }
  return n / (spot ? png.width * png.height : 200 * 150);
}

// Waits for the picture to be in the colour; the figures of the goals look
// at a spot, often, so that looking adds little to what is measured.
async function waitForColour(page, colour, what, spot = false) {
  const deadline = Date.now() + 60000;
  while (Date.now() < deadline) {
    if (await colourShare(page, colour, spot) > 0.9) return;
    await sleep(spot ? 10 : 200);
  }
  const state = await page.evaluate(() => document.getElementById('status').textContent + ' | ' + document.getElementById('log').textContent.slice(0, 400));
  throw new CheckFailure(`${what}: the program's picture did not show within 60 s (${state})`);
}

async function openEditor(url = base + '/') {
  const page = await browser.newPage();
  page.setDefaultTimeout(30000);
  await page.setViewport({ width: 1400, height: 1000 });
  page.on('dialog', (dialog) => dialog.accept());
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => document.querySelector('.CodeMirror') && document.querySelector('#tabs button'), { timeout: 20000 });
  return page;
}

const editorText = (page) => page.evaluate(() => document.querySelector('.CodeMirror').CodeMirror.getValue());

const RED = [255, 0, 0];
const NAVY = [0, 0, 128];
const checks = [];
const check = (name, fn) => checks.push({ name, fn });

check('the API refuses what it should, and never with a 500', async () => {
  const cases = [
    ['not JSON', '/api/build', '{"files":', true, 400],
    ['a list', '/api/build', '[1, 2]', true, 400],
    ['no files', '/api/build', {}, false, 400],
    ['a folder in a name', '/api/build', { files: { 'src/main.cpp': '' } }, false, 400],
    ['".." in a name', '/api/build', { files: { '..main.cpp': '' } }, false, 400],
    ['an asset of another type', '/api/build', { files: { 'main.cpp': '' }, assets: { 'x.exe': '' } }, false, 400],
    ['an asset not in base64', '/api/build', { files: { 'main.cpp': '' }, assets: { 'x.png': '***' } }, false, 400],
    ['over the size limit', '/api/build', { files: { 'main.cpp': 'x'.repeat(5 << 20) } }, false, 413],
    ['a wrong token', '/api/handin', { token: 'nope', name: 'Ann', files: { 'main.cpp': '' } }, false, 403],
    ['a name with a slash', '/api/handin', { token: TOKEN, name: 'a/b', files: { 'main.cpp': '' } }, false, 400],
    ['a name of dots', '/api/handin', { token: TOKEN, name: '..', files: { 'main.cpp': '' } }, false, 400],
  ];
  for (const [what, where, body, raw, status] of cases) {
    const r = await post(where, body, raw);
    expect(r.status === status, `${what}: answered ${r.status}, expected ${status} (${JSON.stringify(r.answer)})`);
  }
  const page = await fetch(`${base}/p/${'0'.repeat(32)}`);
  expect(page.status === 404, `an unknown program answered ${page.status}`);
  expect(!fs.existsSync(path.join(work, 'class', 'b')) && fs.readdirSync(path.join(work, 'class')).length === 0,
    'a refused hand-in left files in the class folder');
});

check('a build answers with its errors, and the same source again comes from the cache', async () => {
  const bad = await build({ 'main.cpp': program('RED', '\n    undefinedCall();') });
  expect(bad.status === 200 && bad.answer.ok === false, `a broken program: ${JSON.stringify(bad.answer).slice(0, 300)}`);
  const e = bad.answer.errors[0];
  expect(e && e.file === 'main.cpp' && e.line === 6 && e.column === 5, `its error: ${JSON.stringify(bad.answer.errors)}`);
  const files = { 'main.cpp': program('RED') };
  const firstStarted = Date.now();
  const first = await build(files);
  const firstTook = (Date.now() - firstStarted) / 1000;
  expect(first.answer.ok === true && /^[0-9a-f]{32}$/.test(first.answer.id), `hello: ${JSON.stringify(first.answer).slice(0, 300)}`);
  const started = Date.now();
  const again = await build(files);
  const took = Date.now() - started;
  expect(again.answer.id === first.answer.id && took < 500, `the same source again took ${took} ms`);
  const page = await fetch(`${base}/p/${first.answer.id}`);
  expect(page.status === 200 && /sandbox/.test(page.headers.get('content-security-policy')),
    `the program's page: ${page.status}, policy ${page.headers.get('content-security-policy')}`);
  return `first build ${firstTook.toFixed(1)} s, again ${took} ms`;
});

let typedPage;
check('a program typed into the page runs beside the editor', async () => {
  const page = typedPage = await openEditor();
  await page.click('.CodeMirror');
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.press('Delete');
  await page.keyboard.type(program('RED').replace(/\n\s+/g, '\n'));
  await page.keyboard.down('Control');
  await page.keyboard.press('Enter');
  await page.keyboard.up('Control');
  await waitForColour(page, RED, 'Ctrl+Enter');
});

check('a compile error is marked on its line', async () => {
  const page = typedPage;
  await page.evaluate(() => {
    const cm = document.querySelector('.CodeMirror').CodeMirror;
    cm.replaceRange('    notDeclared = 1;\n', { line: 2, ch: 0 });
  });
  await page.click('#run');
  await page.waitForSelector('.error-line', { timeout: 60000 });
  const marked = await page.evaluate(() => {
    const cm = document.querySelector('.CodeMirror').CodeMirror;
    const lines = [];
    cm.eachLine((handle) => { if ((handle.bgClass || '').includes('error-line')) lines.push(cm.getLineNumber(handle) + 1); });
    return { lines, list: document.getElementById('errors').textContent };
  });
  expect(marked.lines.length === 1 && marked.lines[0] === 3 && /main\.cpp:3:/.test(marked.list),
    `marked ${JSON.stringify(marked)}`);
});

check('a reload keeps the code', async () => {
  const before = await editorText(typedPage);
  await sleep(500); // the page keeps the code a moment after each change
  await typedPage.reload({ waitUntil: 'load' });
  await typedPage.waitForFunction(() => document.querySelector('#tabs button'), { timeout: 20000 });
  const after = await editorText(typedPage);
  expect(after === before && after.includes('notDeclared'), 'the code after a reload differs');
});

check('a share link opens a read-only copy that draws', async () => {
  const page = typedPage;
  await page.evaluate(() => {
    const cm = document.querySelector('.CodeMirror').CodeMirror;
    cm.setValue(cm.getValue().replace('    notDeclared = 1;\n', ''));
  });
  await page.click('#share');
  await page.waitForFunction(() => !document.getElementById('sharebox').hidden, { timeout: 60000 });
  const link = await page.$eval('#sharelink', (input) => input.value);
  expect(/\/s\/[0-9a-f]{32}$/.test(link), `the link: ${link}`);
  const shared = await openEditor(link);
  await waitForColour(shared, RED, 'the shared link');
  const readOnly = await shared.evaluate(() => document.querySelector('.CodeMirror').CodeMirror.getOption('readOnly'));
  expect(readOnly === true, 'the shared copy can be edited');
  await shared.close();
});

check('an example opens and runs', async () => {
  const page = await openEditor();
  await page.select('#examples', 'hello');
  await page.waitForFunction(() => document.querySelector('.CodeMirror').CodeMirror.getValue().includes('Hello, Vantrel'), { timeout: 20000 });
  await page.click('#run');
  await waitForColour(page, NAVY, 'the hello example');
  await page.close();
});

check('a hand-in appears in the class folder', async () => {
  const page = typedPage;
  await page.click('#handin');
  await page.type('#handinname', 'Ann Lee');
  await page.type('#handintoken', TOKEN);
  await page.click('#handinform button[type=submit]');
  await page.waitForFunction(() => /Handed in/.test(document.getElementById('status').textContent), { timeout: 20000 });
  const stored = path.join(work, 'class', 'Ann Lee', 'main.cpp');
  expect(fs.existsSync(stored) && fs.readFileSync(stored, 'utf8').includes('RED'), `nothing at ${stored}`);
});

// How long they take is a benchmark's figure (./dev bench --playground); this
// checks that a full queue turns builds away with Retry-After and loses none.
check('30 builds sent at once are all answered, none lost', async () => {
  const started = Date.now();
  const answers = await Promise.all(Array.from({ length: 30 }, (_, i) => build({ 'main.cpp': program('RED') + `// ${i}\n` })));
  const seconds = (Date.now() - started) / 1000;
  expect(answers.every((a) => a.status === 200 && a.answer.ok), `not all built: ${answers.map((a) => a.status).join(',')}`);
  expect(seconds < 420, `they took ${seconds} s`);
  return `${seconds.toFixed(0)} s`;
});

// The figures of the playground's goals: Run to the first frame for a new
// program and for the same one again, 30 builds at once, the server's memory.
async function measure() {
  const rows = [];
  const page = await openEditor();
  const runToFrame = async (text) => {
    await page.evaluate((t) => document.querySelector('.CodeMirror').CodeMirror.setValue(t), text);
    const started = Date.now();
    await page.click('#run');
    await waitForColour(page, RED, 'Run', true);
    return (Date.now() - started) / 1000;
  };
  const fresh = program('RED') + `// ${Date.now()}\n`;
  rows.push(['A new program: Run to its first frame', `${(await runToFrame(fresh)).toFixed(1)} s`]);
  await page.click('#stop');
  // The stopped program's picture must be gone before the next is timed.
  for (let i = 0; i < 500 && await colourShare(page, RED, true) > 0.5; i++) await sleep(10);
  rows.push(['The same program again: Run to its first frame', `${(await runToFrame(fresh)).toFixed(2)} s`]);
  const started = Date.now();
  let busy = 0;
  const tag = Date.now();
  await Promise.all(Array.from({ length: 30 }, async (_, i) => {
    for (;;) {
      const r = await post('/api/build', { files: { 'main.cpp': program('RED') + `// ${tag} ${i}\n` } });
      if (r.status !== 503) return;
      busy++;
      await sleep(Number(r.headers.get('retry-after')) * 1000);
    }
  }));
  const seconds = (Date.now() - started) / 1000;
  rows.push(['30 different builds sent at once, all answered', `${seconds.toFixed(0)} s (${busy} answers of 503 retried)`]);
  rows.push(['Builds a minute, per core (2 builds at once)', `${(30 / (seconds / 60) / os.cpus().length).toFixed(1)}`]);
  const status = fs.readFileSync(`/proc/${server.pid}/status`, 'utf8');
  rows.push(['The server\'s memory at its peak (VmHWM)', `${Math.round(Number(/VmHWM:\s+(\d+)/.exec(status)[1]) / 1024)} MB`]);
  console.log('| Playground | Measured |\n|---|---|');
  for (const [what, figure] of rows) console.log(`| ${what} | ${figure} |`);
}

async function main() {
  const watchdog = setTimeout(() => {
    console.error('playground tests: still running after 15 minutes; ending');
    browser?.process()?.kill('SIGKILL');
    server?.kill('SIGKILL');
    process.exit(1);
  }, 900000);
  let failed = 0;
  try {
    base = await startServer();
    browser = await puppeteer.launch({ executablePath: process.env.VANTREL_CHROMIUM || '/usr/bin/chromium',
      headless: true, userDataDir: path.join(work, 'profile'), timeout: 30000, protocolTimeout: 60000,
      args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--mute-audio'] });
    failed = await runChecks(measuring ? [{ name: 'measure', fn: measure }] : checks, 'playground tests');
  } finally {
    clearTimeout(watchdog);
    if (browser) await browser.close().catch(() => {});
    if (server) {
      server.kill('SIGTERM');
      const ended = await Promise.race([new Promise((r) => server.on('exit', () => r(true))), sleep(5000).then(() => false)]);
      if (!ended) {
        failed++;
        console.log('FAILED  the server did not end within 5 s of SIGTERM');
        server.kill('SIGKILL');
      }
    }
    fs.rmSync(work, { recursive: true, force: true });
  }
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.error(`playground tests: ${error.stack || error}`);
  browser?.process()?.kill('SIGKILL');
  server?.kill('SIGKILL');
  process.exit(1);
});
