// The browser tests: the pages ./dev web builds, served on 127.0.0.1 and
// opened from the disk in Debian's Chromium, headless, and checked as a person
// would check them: what the canvas shows, that the program draws as soon as
// the page has loaded, that frames keep coming while the page stays
// responsive, that keys and clicks reach the program, that sound starts only
// with the first click or key press, that effects and music play in OGG, MP3
// and FLAC, that a failed set-up says why on the page, and that the pages
// stay small and quick to show their first frame.
//
//   node browser_test.mjs PAGES_DIR REPO_DIR            run every check
//   node browser_test.mjs --measure PAGES_DIR REPO_DIR  sizes, load times and bounce's frame rate
//
// VANTREL_NODE_MODULES names the folder holding puppeteer-core and pngjs;
// VANTREL_CHROMIUM the browser (default /usr/bin/chromium). Every wait has a
// limit, and a watchdog ends the browser and the run after five minutes.

import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { CheckFailure, expect, runChecks, sleep } from './checks.mjs';

const args = process.argv.slice(2);
const measure = args[0] === '--measure';
if (measure) args.shift();
const [pagesDir, repoDir] = args.map((a) => path.resolve(a));
if (!pagesDir || !repoDir || !process.env.VANTREL_NODE_MODULES) {
  console.error('usage: VANTREL_NODE_MODULES=DIR node browser_test.mjs [--measure] PAGES_DIR REPO_DIR');
  process.exit(2);
}
const require = createRequire(path.join(process.env.VANTREL_NODE_MODULES, 'node_modules', 'index.js'));
const puppeteer = require('puppeteer-core');
const { PNG } = require('pngjs');

const CHROMIUM = process.env.VANTREL_CHROMIUM || '/usr/bin/chromium';
const WATCHDOG_MS = 300000;

// ---- Serving the pages on 127.0.0.1 only ----------------------------------------

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.png': 'image/png',
};

function serve(root) {
  const server = http.createServer((request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    let file = path.resolve(root, '.' + wanted);
    if (file !== root && !file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    if (fs.existsSync(file) && fs.statSync(file).isDirectory()) file = path.join(file, 'index.html');
    fs.readFile(file, (error, body) => {
      if (error) {
        response.writeHead(404).end('not found');
        return;
      }
      response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
      response.end(body);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

// ---- What the page is watched through ----------------------------------------------
// Installed before the page's own scripts: counts the frames the program draws
// (the renderer's clears, on WebGL or on a 2D canvas), and watches the sound
// SDL hands to Web Audio.
function instrument() {
  const probe = { frames: [], renderer: null, audioBlocks: 0, audioPeak: 0, firstSound: null };
  window.__vantrel = probe;
  const frame = () => {
    const now = performance.now();
    const last = probe.frames[probe.frames.length - 1];
    if (last === undefined || now - last > 2) probe.frames.push(now); // one per task
  };
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    const context = getContext.call(this, type, attributes);
    if (context && this.id === 'canvas' && !context.__vantrelWatched) {
      context.__vantrelWatched = true;
      probe.renderer = type;
      const name = type === '2d' ? 'putImageData' : 'clear';
      const original = context[name];
      context[name] = function () {
        frame();
        return original.apply(this, arguments);
      };
    }
    return context;
  };
  const Context = window.AudioContext || window.webkitAudioContext;
  if (Context) {
    const create = Context.prototype.createScriptProcessor;
    Context.prototype.createScriptProcessor = function () {
      const node = create.apply(this, arguments);
      const slot = Object.getOwnPropertyDescriptor(ScriptProcessorNode.prototype, 'onaudioprocess');
      Object.defineProperty(node, 'onaudioprocess', {
        configurable: true,
        get() { return slot.get.call(node); },
        set(handler) {
          slot.set.call(node, handler && function (event) {
            handler.call(this, event);
            const samples = event.outputBuffer.getChannelData(0);
            let peak = 0;
            for (let i = 0; i < samples.length; i++) peak = Math.max(peak, Math.abs(samples[i]));
            probe.audioBlocks++;
            if (peak > 0 && probe.firstSound === null) probe.firstSound = performance.now();
            probe.audioPeak = Math.max(probe.audioPeak, peak);
          });
        },
      });
      probe.audioContext = this;
      return node;
    };
  }
}

// ---- Helpers -------------------------------------------------------------------


// waitFor(page, fn, what, ms): polls fn in the page until it returns a truthy value.
async function waitFor(page, fn, what, ms, arg) {
  const deadline = Date.now() + ms;
  for (;;) {
    const value = await page.evaluate(fn, arg);
    if (value) return value;
    if (Date.now() > deadline) {
      const state = await pageState(page);
      throw new CheckFailure(`${what} did not happen within ${ms / 1000} s (page: ${JSON.stringify(state)})`);
    }
    await sleep(50);
  }
}

function pageState(page) {
  return page.evaluate(() => ({
    status: document.getElementById('status') && document.getElementById('status').textContent,
    output: document.getElementById('output') && document.getElementById('output').textContent.slice(-400),
    frames: window.__vantrel ? window.__vantrel.frames.length : 0,
  }));
}

let browser;
async function openPage(url) {
  const page = await browser.newPage();
  page.setDefaultTimeout(30000);
  await page.setViewport({ width: 1000, height: 1000, deviceScaleFactor: 1 });
  await page.evaluateOnNewDocument(instrument);
  page.consoleLines = [];
  page.on('console', (message) => page.consoleLines.push(message.text()));
  page.on('pageerror', (error) => page.consoleLines.push(String(error)));
  await page.goto(url, { waitUntil: 'load', timeout: 30000 });
  return page;
}

// Opens url and, unless told otherwise, waits for the program's first frames:
// a page starts its program as soon as it has loaded, without any click.
// puppeteer's page.evaluate runs as a user gesture, which would let a sound
// opened after it start without any click; this wait asks through a session
// of its own that is no gesture, so the page is untouched until a check acts.
async function startProgram(url, { frames = 1 } = {}) {
  const page = await openPage(url);
  if (frames > 0) {
    const session = await page.createCDPSession();
    const deadline = Date.now() + 30000;
    const expression = `(window.__vantrel ? window.__vantrel.frames.length : 0) >= ${frames}`;
    for (;;) {
      const { result } = await session.send('Runtime.evaluate', { expression, returnByValue: true, userGesture: false });
      if (result.value === true) break;
      if (Date.now() > deadline) {
        await session.detach().catch(() => {});
        throw new CheckFailure(`timed out after 30 s waiting for ${frames} frames of ${url}`);
      }
      await sleep(50);
    }
    await session.detach().catch(() => {});
  }
  return page;
}

// The state of the page's sound: whether the audio context exists and runs,
// and whether the page says that sound waits for a click or a key.
function soundState(page) {
  return page.evaluate(() => {
    const context = window.Module && Module.SDL2 && Module.SDL2.audioContext;
    return {
      // Shown as a person sees it, not as an attribute says.
      context: context ? context.state : 'none', noteShown: document.getElementById('sound').getClientRects().length > 0,
      peak: window.__vantrel.audioPeak, blocks: window.__vantrel.audioBlocks,
    };
  });
}

async function canvasPixels(page) {
  const canvas = await page.$('#canvas');
  const png = PNG.sync.read(Buffer.from(await canvas.screenshot({ type: 'png' })));
  return {
    width: png.width, height: png.height,
    at(x, y) {
      const i = (y * png.width + x) * 4;
      return [png.data[i], png.data[i + 1], png.data[i + 2]];
    },
  };
}

const same = (a, b, tolerance = 0) => a.every((v, i) => Math.abs(v - b[i]) <= tolerance);
const show = (c) => `(${c.join(', ')})`;

// Counts pixels of colour in the rectangle [x0, x1) x [y0, y1).
function count(image, colour, x0, y0, x1, y1) {
  let n = 0;
  for (let y = y0; y < y1; y++) for (let x = x0; x < x1; x++) if (same(image.at(x, y), colour)) n++;
  return n;
}

// The welcome scene: grey background, blue text at (150, 50), two black
// diagonals corner to corner, an aqua disc of radius 50 in the middle.
function checkWelcomeScene(image, where) {
  const GRAY = [128, 128, 128], BLUE = [0, 0, 255], BLACK = [0, 0, 0], AQUA = [0, 255, 255];
  expect(image.width === 640 && image.height === 640,
    `${where}: the canvas is ${image.width} x ${image.height}, expected 640 x 640`);
  for (const [x, y] of [[600, 300], [40, 320], [320, 600], [320, 200]]) {
    expect(same(image.at(x, y), GRAY), `${where}: background at (${x}, ${y}) is ${show(image.at(x, y))}, expected grey ${show(GRAY)}`);
  }
  expect(same(image.at(320, 320), AQUA) && same(image.at(320, 280), AQUA),
    `${where}: the disc's middle (320, 320) is ${show(image.at(320, 320))}, expected aqua ${show(AQUA)}`);
  expect(same(image.at(320, 375), GRAY), `${where}: below the disc (320, 375) is ${show(image.at(320, 375))}, expected grey`);
  for (const [x, y] of [[100, 100], [500, 500], [539, 100], [100, 539]]) {
    expect(count(image, BLACK, x - 1, y - 1, x + 2, y + 2) > 0,
      `${where}: no black diagonal pixel around (${x}, ${y}); found ${show(image.at(x, y))}`);
  }
  const text = count(image, BLUE, 150, 45, 600, 100);
  expect(text > 300, `${where}: only ${text} blue text pixels right of (150, 50), expected the welcome line (> 300)`);
  expect(count(image, BLUE, 0, 120, 640, 640) === 0, `${where}: blue pixels away from the text line`);
  return text;
}

// The share of pixels that match docs/demo.png, the native program's screenshot
// (made by SDL's software renderer, whose blending of the text's soft edges
// rounds differently from the browser's by a level or two).
function matchWithNative(image) {
  const reference = PNG.sync.read(fs.readFileSync(path.join(repoDir, 'docs', 'demo.png')));
  let equal = 0;
  for (let y = 0; y < 640; y++) {
    for (let x = 0; x < 640; x++) {
      const i = (y * reference.width + x) * 4;
      if (same(image.at(x, y), [reference.data[i], reference.data[i + 1], reference.data[i + 2]], 3)) equal++;
    }
  }
  return equal / (640 * 640);
}

async function outputText(page) {
  return page.evaluate(() => document.getElementById('output').textContent);
}

async function errorLines(page) {
  return page.evaluate(() => Array.from(document.querySelectorAll('#output .err')).map((e) => e.textContent));
}

// ---- The checks ----------------------------------------------------------------------

let base; // http://127.0.0.1:PORT
const fileUrl = (name) => pathToFileURL(path.join(pagesDir, name)).href;

const checks = [];
const check = (name, fn) => checks.push({ name, fn });

check('the demo page shows the welcome scene as soon as it has loaded, before any click or key', async () => {
  const page = await startProgram(`${base}/demo/index.html`, { frames: 5 });
  const image = await canvasPixels(page);
  const sound = await soundState(page);
  expect(sound.context === 'suspended' && sound.noteShown,
    `before any click the sound should wait, and the page say so: ${JSON.stringify(sound)}`);
  const text = checkWelcomeScene(image, 'demo from the server');
  const match = matchWithNative(image);
  const renderer = await page.evaluate(() => window.__vantrel.renderer);
  await page.close();
  // Text drawn by the same FreeType and HarfBuzz comes out the same.
  expect(match > 0.999, `only ${(match * 100).toFixed(3)}% of the pixels match docs/demo.png`);
  return `${text} text pixels, ${(match * 100).toFixed(3)}% of pixels as in docs/demo.png, ${renderer} canvas`;
});

check('the demo as one file opened from the disk shows the same scene', async () => {
  const page = await startProgram(fileUrl('demo.html'), { frames: 5 });
  checkWelcomeScene(await canvasPixels(page), 'demo.html from the disk');
  await page.close();
});

check('bounce keeps drawing at about 60 frames a second and the page stays responsive', async () => {
  const page = await startProgram(`${base}/bounce/index.html`, { frames: 10 });
  const first = await canvasPixels(page);
  // The browser's own frame rate (requestAnimationFrame) is measured at the
  // same time: on a busy machine it drops too, and the program cannot be
  // asked to keep up better than the page it runs in.
  const result = await page.evaluate(() => new Promise((resolve) => {
    const probe = window.__vantrel;
    const start = performance.now();
    const before = probe.frames.length;
    let last = start, longest = 0, painted = 0, done = false;
    const timer = setInterval(() => {
      const now = performance.now();
      longest = Math.max(longest, now - last);
      last = now;
    }, 20);
    const paint = () => { painted++; if (!done) requestAnimationFrame(paint); };
    requestAnimationFrame(paint);
    setTimeout(() => {
      done = true;
      clearInterval(timer);
      const seconds = (performance.now() - start) / 1000;
      resolve({ fps: (probe.frames.length - before) / seconds, browserFps: painted / seconds, longest });
    }, 3000);
  }));
  const asked = Date.now();
  await page.evaluate(() => document.title);
  const answer = Date.now() - asked;
  const second = await canvasPixels(page);
  let moved = 0;
  for (let y = 0; y < first.height; y += 2) for (let x = 0; x < first.width; x += 2) if (!same(first.at(x, y), second.at(x, y))) moved++;
  await page.close();
  const floor = Math.max(15, 0.6 * Math.min(60, result.browserFps));
  expect(result.fps >= floor && result.fps <= 66,
    `${result.fps.toFixed(1)} frames a second, expected about 60: at least ${floor.toFixed(1)} (0.6 of the ${result.browserFps.toFixed(1)} the page itself painted, 15 at worst) and at most 66`);
  // A program that never yields holds the timer for the whole 3 s; a busy
  // machine delays it by a few hundred milliseconds at worst.
  expect(result.longest < 1500, `the page's own timer waited ${result.longest.toFixed(0)} ms at worst (limit 1500 ms): the program blocks the page`);
  expect(answer < 3000, `the page took ${answer} ms to answer a question (limit 3000 ms)`);
  expect(moved > 50, `the figures did not move between two screenshots 3 s apart (${moved} pixels changed)`);
  return `${result.fps.toFixed(1)} fps (the page painted ${result.browserFps.toFixed(1)}), longest timer gap ${result.longest.toFixed(0)} ms, page answered in ${answer} ms`;
});

check('a key press in hello starts its sound: the key both turns the sound on and reaches the program', async () => {
  const page = await startProgram(`${base}/hello/index.html`, { frames: 5 });
  await sleep(700);
  const before = await soundState(page);
  expect(before.peak === 0, `sound before any key was pressed (peak ${before.peak})`);
  expect(before.context === 'suspended', `the audio context is ${before.context} before any key, expected suspended`);
  await page.keyboard.press('KeyA');
  const peak = await waitFor(page, () => window.__vantrel.audioPeak > 0.01 && window.__vantrel.audioPeak, 'a sound after the key press', 5000);
  const after = await soundState(page);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  expect(!after.noteShown, 'the page still says the sound waits for a click after the sound started');
  return `peak ${peak.toFixed(2)} after the key, silence before it`;
});

check('pong plays its OGG music, M silences it, and a serve\'s hit and point sound over it', async () => {
  const page = await startProgram(`${base}/pong/index.html`, { frames: 5 });
  await page.click('#name'); // sound starts with the first click on the page
  const music = await waitFor(page, () => window.__vantrel.audioPeak > 0.05 && window.__vantrel.audioPeak,
    'the music (music.ogg)', 5000);
  await page.keyboard.press('KeyM');
  await sleep(700); // sound already handed to Web Audio still plays out
  await page.evaluate(() => { window.__vantrel.audioPeak = 0; });
  await sleep(1000);
  const muted = await page.evaluate(() => window.__vantrel.audioPeak);
  expect(muted === 0, `sound heard with the music off and the ball not served (peak ${muted})`);
  await page.keyboard.press('Space');
  const effects = await waitFor(page, () => window.__vantrel.audioPeak > 0.05 && window.__vantrel.audioPeak,
    'the sound of a hit or a point (hit.wav, point.ogg) after the serve', 8000);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  return `music peak ${music.toFixed(2)}, silence after M, effects peak ${effects.toFixed(2)} after the serve`;
});

check('OGG, MP3 and FLAC decode in the page, as music and as effects', async () => {
  // A click before the program has opened its sound: it starts once it has.
  const page = await openPage(`${base}/tests/web-sound-formats/index.html`);
  await page.click('#name');
  await waitFor(page, () => document.getElementById('output').textContent.includes('effects: playing'),
    'the line "effects: playing"', 20000);
  const peak = await waitFor(page, () => window.__vantrel.audioPeak > 0.1 && window.__vantrel.audioPeak, 'sound', 5000);
  const output = await outputText(page);
  await page.close();
  for (const name of ['tone.ogg', 'tone.mp3', 'tone.flac']) {
    expect(output.includes(`effect ${name}: loaded`), `loadSound("${name}") failed: ${output}`);
    const ended = output.match(new RegExp(`music ${name.replace('.', '\\.')}: ended after (\\d+) frames`));
    // The tones last 1 s (FLAC 0.5 s): well over 15 frames at 60 a second.
    expect(ended && Number(ended[1]) >= 15, `the music ${name} did not play through: ${output}`);
  }
  return `every format played, peak ${peak.toFixed(2)}`;
});

check('a sound started before the first frame stays silent until the first click on the page, which the page asks for', async () => {
  const page = await startProgram(`${base}/tests/web-sound-at-start/index.html`, { frames: 5 });
  const OLIVE = [128, 128, 0];
  const image = await canvasPixels(page);
  expect(same(image.at(160, 120), OLIVE), `the canvas shows ${show(image.at(160, 120))} at (160, 120), expected olive: the program must draw before any click`);
  await sleep(1000);
  const before = await soundState(page);
  const framesBefore = await page.evaluate(() => window.__vantrel.frames.length);
  expect(before.context === 'suspended', `the audio context is ${before.context} before any click, expected suspended`);
  expect(before.blocks === 0 && before.peak === 0, `sound played before any click: ${JSON.stringify(before)}`);
  expect(before.noteShown, 'the page does not say that the sound starts with the first click or key press');
  expect(framesBefore >= 30, `only ${framesBefore} frames in the first second and more without a click`);
  // Anywhere on the page will do: the program's name above the picture.
  await page.click('#name');
  const peak = await waitFor(page, () => window.__vantrel.audioPeak > 0.01 && window.__vantrel.audioPeak, 'the sound after the click', 5000);
  const after = await soundState(page);
  const errors = await errorLines(page);
  await page.close();
  expect(after.context === 'running' && !after.noteShown, `after the click: ${JSON.stringify(after)}`);
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  return `${framesBefore} silent frames before the click, peak ${peak.toFixed(2)} after it`;
});

check('built to wait for a click, a page draws nothing until its picture is clicked', async () => {
  const page = await openPage(`${base}/tests/web-click-to-start/index.html`);
  await page.waitForSelector('#start:not([disabled]):not([hidden])', { timeout: 30000 }).catch(async () => {
    throw new CheckFailure(`the start button never became ready (page: ${JSON.stringify(await pageState(page))})`);
  });
  await sleep(500);
  const before = await page.evaluate(() => window.__vantrel.frames.length);
  expect(before === 0, `${before} frames were drawn before the click`);
  await page.click('#start');
  await waitFor(page, () => window.__vantrel.frames.length >= 2, 'frames after the click', 15000);
  await page.keyboard.press('KeyB');
  await waitFor(page, () => document.getElementById('output').textContent.includes('key down: B'), 'the line "key down: B"', 5000);
  const sound = await soundState(page);
  await page.close();
  expect(sound.context === 'running' && !sound.noteShown, `the click did not turn the sound on: ${JSON.stringify(sound)}`);
});

check('keys reach the program once the page has focus, without a click; then a click, at the right place', async () => {
  const page = await startProgram(`${base}/tests/web-events/index.html`, { frames: 2 });
  await page.keyboard.press('KeyA');
  await waitFor(page, () => document.getElementById('output').textContent.includes('key down: A'), 'the line "key down: A"', 5000);
  await waitFor(page, () => document.getElementById('output').textContent.includes('state: A pressed, held'), 'wasKeyPressed(SDLK_a)', 5000);
  const box = await (await page.$('#canvas')).boundingBox();
  // The canvas may sit at a fractional position, and mouse events carry whole
  // page coordinates: aim inside the page pixel that covers canvas pixel (100, 60).
  await page.mouse.click(Math.ceil(box.x) + 100.25, Math.ceil(box.y) + 60.25);
  await waitFor(page, () => /mouse button 1 down at/.test(document.getElementById('output').textContent), 'the mouse button line', 5000);
  await waitFor(page, () => /state: left button pressed/.test(document.getElementById('output').textContent), 'wasMouseButtonPressed(SDL_BUTTON_LEFT)', 5000);
  const output = await outputText(page);
  await page.close();
  expect(output.includes('mouse button 1 down at 100, 60 (mouse state 100, 60)'),
    `the click at (100, 60) arrived as: ${output.split('\n').filter((l) => l.includes('mouse')).join(' ')}`);
  expect(output.includes('state: left button pressed at 100, 60'),
    `the input state saw the click as: ${output.split('\n').filter((l) => l.includes('state:')).join(' ')}`);
});

check('typed text reaches the program in order, an accent included, and a held Backspace repeats', async () => {
  const page = await startProgram(`${base}/tests/web-events/index.html`, { frames: 2 });
  await page.keyboard.type('Jos', { delay: 30 });
  // A key whose character the layout makes, as a dead key or an AltGr
  // combination would: the browser's keypress carries "é".
  await page.keyboard.down('KeyE', { text: '\u00e9' });
  await page.keyboard.up('KeyE');
  await page.keyboard.type('!', { delay: 30 });
  // Each frame's text is a line "typed: ...": together, all that was typed.
  const typedSoFar = () => page.evaluate(() => document.getElementById('output').textContent.split('\n')
    .filter((line) => line.startsWith('typed: ')).map((line) => line.slice(7)).join(''));
  let text = '';
  for (const deadline = Date.now() + 5000; (text = await typedSoFar()).length < 5 && Date.now() < deadline;) {
    await sleep(50);
  }
  // One press, then four repeats (the browser marks them as repeats).
  for (let i = 0; i < 5; i++) {
    await page.keyboard.down('Backspace');
    await sleep(60);
  }
  await page.keyboard.up('Backspace');
  await waitFor(page, () => document.getElementById('output').textContent.includes('Backspace typed, pressed 0'),
    'a Backspace repeat', 5000);
  await sleep(300);
  const lines = (await outputText(page)).split('\n');
  await page.close();
  expect(text === 'Jos\u00e9!', `the program was typed ${JSON.stringify(text)}, expected "Jos\u00e9!"`);
  const presses = lines.filter((l) => l === 'state: Backspace typed, pressed 1').length;
  const repeats = lines.filter((l) => l === 'state: Backspace typed, pressed 0').length;
  expect(presses === 1, `Backspace was pressed once, the program saw ${presses} presses`);
  expect(repeats >= 2 && repeats <= 4, `Backspace repeated 4 times, the program saw ${repeats} typed repeats (frames may merge two)`);
  return `"${text}", Backspace typed on its press and ${repeats} repeats`;
});

check('the typing example takes a name with an accent and the answer, and says it is right', async () => {
  const page = await startProgram(`${base}/typing/index.html`, { frames: 5 });
  await page.keyboard.type('Jos', { delay: 30 });
  await page.keyboard.down('KeyE', { text: '\u00e9' });
  await page.keyboard.up('KeyE');
  await page.keyboard.press('Enter');
  // Letters typed in the very frame of the Enter would go into the name,
  // as in any program that reads its keys once a frame: a person's pause.
  await sleep(400);
  await page.keyboard.type('Jupiterxx', { delay: 30 });
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Enter');
  const LIME = [0, 255, 0];
  let green = 0;
  for (let tries = 0; tries < 20 && green <= 100; tries++) {
    await sleep(150);
    green = count(await canvasPixels(page), LIME, 0, 250, 640, 290);
  }
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  expect(green > 100, `only ${green} green pixels where "Right, Jos\u00e9!" belongs: the answer was not taken as right`);
  return `${green} pixels of the green verdict`;
});

check('sprites loads its PNG images in the page and draws them', async () => {
  const page = await startProgram(`${base}/sprites/index.html`, { frames: 5 });
  const image = await canvasPixels(page);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  // The star (200, 80) and the gem (380, 80) are drawn 96 x 96 on navy.
  const NAVY = [0, 0, 128];
  const star = 96 * 96 - count(image, NAVY, 200, 80, 296, 176);
  const gem = 96 * 96 - count(image, NAVY, 380, 80, 476, 176);
  expect(star > 1000, `only ${star} pixels of the star's square differ from the navy background`);
  expect(gem > 1000, `only ${gem} pixels of the gem's square differ from the navy background`);
  return `${star} star and ${gem} gem pixels`;
});

check('a program whose set-up fails shows its message on the page', async () => {
  const page = await startProgram(`${base}/tests/web-setup-failure/index.html`, { frames: 0 });
  await waitFor(page, () => document.getElementById('status').className === 'stopped', 'the "stopped" status', 10000);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.some((line) => line.includes('Frame rate must be between 1 and 255')),
    `the message is not on the page; its error lines: ${JSON.stringify(errors)}`);
});

check('a program that ends itself with exit(1) shows its status and message on the page', async () => {
  const page = await startProgram(`${base}/tests/web-missing-image/index.html`, { frames: 0 });
  await waitFor(page, () => document.getElementById('status').className === 'stopped', 'the "stopped" status', 10000);
  const status = (await pageState(page)).status;
  const errors = await errorLines(page);
  await page.close();
  expect(/status 1\b/.test(status), `the status line says: ${status}`);
  expect(errors.some((line) => line.includes('no-such-picture.png')), `the message is not on the page; its error lines: ${JSON.stringify(errors)}`);
  return status;
});

check('a learner\'s new project, built with ./dev web PATH, runs from its one file and plays its sound', async () => {
  const file = process.env.VANTREL_PROJECT_PAGE;
  expect(file && fs.existsSync(file), `the project's page ${file} was not built`);
  const page = await startProgram(pathToFileURL(file).href, { frames: 5 });
  const image = await canvasPixels(page);
  const YELLOW = [255, 255, 0];
  const greeting = count(image, YELLOW, 20, 15, 320, 50);
  await page.keyboard.press('Space');
  const peak = await waitFor(page, () => window.__vantrel.audioPeak > 0.01 && window.__vantrel.audioPeak,
    'the sound of assets/beep.wav after a key press', 5000);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  expect(greeting > 100, `only ${greeting} yellow pixels where the greeting is drawn`);
  return `${greeting} greeting pixels, sound peak ${peak.toFixed(2)}`;
});

// ---- Images drawn into, and the camera -----------------------------------------------

// The smallest box [x, y, w, h] of the pixels of colour in [x0, x1) x [y0, y1), or null.
function colourBox(image, colour, x0, y0, x1, y1) {
  let left = x1, top = y1, right = -1, bottom = -1;
  for (let y = y0; y < y1; y++) {
    for (let x = x0; x < x1; x++) {
      if (same(image.at(x, y), colour)) {
        left = Math.min(left, x), right = Math.max(right, x);
        top = Math.min(top, y), bottom = Math.max(bottom, y);
      }
    }
  }
  return right < 0 ? null : [left, top, right - left + 1, bottom - top + 1];
}

// Where canvas pixel (x, y) is on the page (see the events check).
async function canvasPoint(page, x, y) {
  const box = await (await page.$('#canvas')).boundingBox();
  return [Math.ceil(box.x) + x + 0.25, Math.ceil(box.y) + y + 0.25];
}

check('paint keeps a dragged stroke, drawn into an image, frame after frame', async () => {
  const page = await startProgram(`${base}/paint/index.html`, { frames: 5 });
  await page.mouse.move(...(await canvasPoint(page, 100, 200)));
  await sleep(200);
  await page.mouse.down();
  await sleep(200);
  for (let x = 120; x <= 300; x += 20) {
    await page.mouse.move(...(await canvasPoint(page, x, 200)));
    await sleep(50);
  }
  await sleep(300);
  await page.mouse.up();
  await page.mouse.move(...(await canvasPoint(page, 500, 420)));
  await sleep(500);
  const first = colourBox(await canvasPixels(page), [0, 0, 0], 0, 40, 640, 480);
  await sleep(1500);
  const later = colourBox(await canvasPixels(page), [0, 0, 0], 0, 40, 640, 480);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  expect(first && first.join() === '97,197,207,7', `the stroke covers ${JSON.stringify(first)}, expected [97,197,207,7]`);
  expect(later && later.join() === first.join(), `1.5 s later the stroke covers ${JSON.stringify(later)}`);
  return `stroke ${first.join(', ')}, unchanged 1.5 s later`;
});

check('scroller\'s camera follows the runner: the flag moves with the world, the score panel stays', async () => {
  const page = await startProgram(`${base}/scroller/index.html`, { frames: 5 });
  const PANEL = [0, 0, 128], RUNNER = [255, 0, 0], FLAG = [255, 0, 255];
  await page.mouse.click(...(await canvasPoint(page, 600, 150)));
  await sleep(400);
  let image = await canvasPixels(page);
  const panel = colourBox(image, PANEL, 0, 0, 220, 60);
  const flag = colourBox(image, FLAG, 0, 0, 640, 360);
  expect(panel && panel.join() === '8,8,193,33', `the score panel covers ${JSON.stringify(panel)}`);
  expect(flag && flag[0] === 601 && flag[1] === 150, `the flag's cloth covers ${JSON.stringify(flag)}, expected it at 601, 150`);
  await page.keyboard.down('ArrowRight');
  await sleep(600);
  await page.keyboard.up('ArrowRight');
  await sleep(400);
  image = await canvasPixels(page);
  const panelAfter = colourBox(image, PANEL, 0, 0, 220, 60);
  const flagAfter = colourBox(image, FLAG, 0, 0, 640, 360);
  const runner = colourBox(image, RUNNER, 0, 0, 640, 360);
  await page.close();
  expect(panelAfter && panelAfter.join() === panel.join(), `the score panel moved to ${JSON.stringify(panelAfter)}`);
  expect(runner && runner[0] === 213, `the runner is at ${JSON.stringify(runner)}, expected x 213`);
  // On a busy machine the key may stay down long enough for the flag to
  // leave the window on the left.
  if (!flagAfter) return 'the flag left the window';
  const moved = flag[0] - flagAfter[0];
  expect(moved >= 30 && flagAfter[1] === flag[1], `the flag went from ${JSON.stringify(flag)} to ${JSON.stringify(flagAfter)}`);
  return `the camera moved ${moved} px`;
});

check('the gallery shows every page built with its screenshot, and its links work from the disk', async () => {
  const file = path.join(pagesDir, 'index.html');
  expect(fs.existsSync(file), `no gallery ${file}`);
  const built = fs.readdirSync(pagesDir).filter((f) => f.endsWith('.html') && f !== 'index.html')
    .map((f) => f.slice(0, -5)).sort();
  const page = await openPage(pathToFileURL(file).href);
  const cards = await page.evaluate(() => Array.from(document.querySelectorAll('article')).map((card) => {
    const image = card.querySelector('img');
    return {
      name: card.querySelector('h2').textContent,
      links: Array.from(card.querySelectorAll('a')).map((a) => a.getAttribute('href')),
      image: image && { src: image.getAttribute('src'), shown: image.complete && image.naturalWidth > 0 },
    };
  }));
  const names = cards.map((c) => c.name).sort();
  expect(JSON.stringify(names) === JSON.stringify(built), `the gallery shows ${names.join(', ')}; the pages built are ${built.join(', ')}`);
  for (const card of cards) {
    expect(card.image && card.image.shown, `${card.name}: no screenshot shown (${JSON.stringify(card.image)})`);
    for (const link of card.links) {
      expect(fs.existsSync(path.join(pagesDir, decodeURIComponent(link))), `${card.name}: the link ${link} leads nowhere`);
    }
  }
  // A teacher's visitor clicks the first picture: the program runs.
  await Promise.all([page.waitForNavigation({ waitUntil: 'load', timeout: 30000 }), page.click('article a')]);
  await waitFor(page, () => window.__vantrel.frames.length >= 2, 'frames of the page the gallery links to', 30000);
  await page.close();
  return `${cards.length} programs`;
});

// The demo's one-file page before it was packed: 6,614,293 bytes, and 2.3 s
// from the disk to its first frame on the machine these tests run on, idle.
const SIZE_GOAL = 3307146;
const FIRST_FRAME_GOAL_MS = 1150;

// firstFrames(url, n): for n fresh loads, the time from the start of the
// navigation to the program's first frame, in ms, sorted.
async function firstFrames(url, n) {
  const times = [];
  for (let i = 0; i < n; i++) {
    const page = await openPage(url);
    times.push(await waitFor(page, () => window.__vantrel.frames[0], `the first frame of ${url}`, 60000));
    await page.close();
  }
  return times.sort((a, b) => a - b);
}
const median = (sorted) => sorted[Math.floor(sorted.length / 2)];

check('the demo\'s one-file page is at most half its old size and shows its first frame from the disk at most half as late', async () => {
  const size = fs.statSync(path.join(pagesDir, 'demo.html')).size;
  expect(size <= SIZE_GOAL, `demo.html is ${size} bytes, more than the goal of ${SIZE_GOAL}`);
  const disk = await firstFrames(fileUrl('demo.html'), 5);
  const server = await firstFrames(`${base}/demo/index.html`, 5);
  const load = os.loadavg()[0];
  const cores = os.cpus().length;
  const detail = `${size} bytes; first frame from the disk ${median(disk).toFixed(0)} ms ` +
    `(the folder from a server: ${median(server).toFixed(0)} ms), medians of 5, load average ${load.toFixed(1)} on ${cores} cores`;
  // Unpacking the one file must cost little next to loading the same program
  // from a server, however busy the machine.
  expect(median(disk) <= 1.5 * median(server) + 250, `the one file is slow to start: ${detail}`);
  // The goal itself holds for the machine as it usually is, not when others
  // keep every core busy.
  if (load <= cores) {
    expect(median(disk) <= FIRST_FRAME_GOAL_MS, `the first frame comes later than ${FIRST_FRAME_GOAL_MS} ms: ${detail}`);
  }
  return load <= cores ? detail : `${detail} (busy: the ${FIRST_FRAME_GOAL_MS} ms goal not applied)`;
});

check('every page works from the server and opened from the disk', async () => {
  const names = fs.readdirSync(pagesDir).filter((f) => f.endsWith('.html') && f !== 'index.html')
    .map((f) => f.slice(0, -5)).sort();
  expect(names.length >= 3, `only ${names.length} pages in ${pagesDir}`);
  for (const name of names) {
    for (const url of [`${base}/${name}/index.html`, fileUrl(`${name}.html`)]) {
      const page = await startProgram(url, { frames: 5 });
      await sleep(300);
      const state = await pageState(page);
      const errors = await errorLines(page);
      await page.close();
      expect(errors.length === 0 && !/stopped/.test(state.status), `${url}: ${JSON.stringify(state)}`);
    }
  }
  return names.join(', ');
});

check('menu: a dragged volume is saved in IndexedDB and read back after a reload; Fullscreen asks for the page\'s fullscreen', async () => {
  const FILL = [90, 160, 255];
  const settingsSlider = async (page) => {
    await page.mouse.click(...(await canvasPoint(page, 320, 272))); // Settings
    await sleep(400);
    return colourBox(await canvasPixels(page), FILL, 290, 170, 530, 195);
  };
  let page = await startProgram(`${base}/menu/index.html`, { frames: 5 });
  const before = await settingsSlider(page);
  await page.mouse.move(...(await canvasPoint(page, 475, 182)));
  await page.mouse.down();
  for (const x of [440, 400, 360, 354]) {
    await page.mouse.move(...(await canvasPoint(page, x, 182)));
    await sleep(50);
  }
  await page.mouse.up();
  await sleep(200);
  // Ticked, fullscreen starts at the next click, as browsers require.
  await page.mouse.click(...(await canvasPoint(page, 130, 240)));
  await sleep(300);
  await page.mouse.click(...(await canvasPoint(page, 600, 440)));
  await sleep(600);
  const fullscreen = await page.evaluate(() => document.fullscreenElement !== null);
  await page.evaluate(() => document.fullscreenElement && document.exitFullscreen());
  await sleep(600);
  await page.mouse.click(...(await canvasPoint(page, 320, 342))); // Back: saves the volume
  await sleep(800);
  await page.close();
  page = await startProgram(`${base}/menu/index.html`, { frames: 5 });
  const after = await settingsSlider(page);
  const errors = await errorLines(page);
  await page.close();
  expect(errors.length === 0, `the page shows errors: ${errors.join(' ')}`);
  expect(before && before[2] > 160, `the slider's fill at the start is ${JSON.stringify(before)}, expected 0.8 of it`);
  expect(after && after[2] > 40 && after[2] < 70, `after a reload the slider's fill is ${JSON.stringify(after)}, expected about a quarter`);
  expect(fullscreen, 'the Fullscreen check box did not make the page fullscreen');
  return `fill ${before[2]} px, ${after[2]} px after the reload; fullscreen ${fullscreen}`;
});

// ---- Measuring ------------------------------------------------------------------------

async function measurePages() {
  console.log('| Page | Size | First frame, median of 5 (all 5) |');
  console.log('|---|---|---|');
  const kb = (file) => `${(fs.statSync(file).size / 1024).toFixed(0)} KiB`;
  for (const name of ['demo', 'bounce']) {
    const folder = path.join(pagesDir, name);
    const parts = ['index.wasm', 'index.js', 'index.data'].filter((f) => fs.existsSync(path.join(folder, f)))
      .map((f) => `${f} ${kb(path.join(folder, f))}`).join(', ');
    for (const [form, url, size] of [
      ['one file from the disk', fileUrl(`${name}.html`), kb(path.join(pagesDir, `${name}.html`))],
      ['folder from the server', `${base}/${name}/index.html`, parts]]) {
      const times = await firstFrames(url, 5);
      console.log(`| ${name}, ${form} | ${size} | ${median(times).toFixed(0)} ms (${times.map((t) => t.toFixed(0)).join(', ')}) |`);
    }
  }
  const page = await startProgram(`${base}/bounce/index.html`, { frames: 30 });
  const fps = await page.evaluate(() => new Promise((resolve) => {
    const before = window.__vantrel.frames.length, start = performance.now();
    setTimeout(() => resolve((window.__vantrel.frames.length - before) / ((performance.now() - start) / 1000)), 10000);
  }));
  await page.close();
  console.log(`\nbounce from the server: ${fps.toFixed(1)} frames a second over 10 s`);
}

// ---- Running ----------------------------------------------------------------------------

async function main() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-chromium-'));
  const server = await serve(pagesDir);
  base = `http://127.0.0.1:${server.address().port}`;
  const watchdog = setTimeout(() => {
    console.error(`browser tests: still running after ${WATCHDOG_MS / 1000} s; ending the browser`);
    if (browser && browser.process()) browser.process().kill('SIGKILL');
    process.exit(1);
  }, WATCHDOG_MS);
  let failed = 0;
  try {
    browser = await puppeteer.launch({
      executablePath: CHROMIUM, headless: true, userDataDir: profile, timeout: 30000, protocolTimeout: 60000,
      // Sound only after the person has done something on the page, as a
      // browser on a desktop decides.
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync', '--mute-audio', '--autoplay-policy=document-user-activation-required'],
    });
    if (measure) {
      await measurePages();
    } else {
      failed = await runChecks(checks, 'browser tests');
    }
  } finally {
    clearTimeout(watchdog);
    if (browser) await browser.close().catch(() => {});
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.error(`browser tests: ${error.stack || error}`);
  if (browser && browser.process()) browser.process().kill('SIGKILL');
  process.exit(1);
});
