// The Vantrel playground's web server: the editor page, the build and
// hand-in API, and the built programs' pages. It keeps nothing but its cache
// folder, so several servers can share one behind a load balancer.
//
//   node server.mjs --kit KIT [--listen HOST:PORT] [--class FOLDER --token TOKEN]
//                   [-j N] [--cache FOLDER] [--examples FOLDER]
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { Builds, Busy, isProgramId } from './builds.mjs';
import { checkName, storeHandin, tokenMatches } from './handin.mjs';
import { ASSET_TYPES, HttpError, SOURCE_TYPES, parseJson, parseProgram, readBody } from './requests.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));

function fail(message) {
  console.error(`vantrel-playground: ${message}`);
  process.exit(2);
}

function parseOptions(args) {
  const o = { listen: '127.0.0.1:8080', jobs: os.availableParallelism?.() ?? os.cpus().length };
  const takes = { '--listen': 'listen', '--class': 'class', '--token': 'token', '-j': 'jobs',
    '--jobs': 'jobs', '--kit': 'kit', '--cache': 'cache', '--examples': 'examples', '--codemirror': 'codemirror' };
  for (let i = 0; i < args.length; i++) {
    const [name, inline] = args[i].startsWith('--') && args[i].includes('=') ? args[i].split(/=(.*)/s) : [args[i]];
    if (!takes[name]) fail(`unknown option ${args[i]} (vantrel-playground --help lists them)`);
    const value = inline ?? args[++i];
    if (value === undefined) fail(`${name} needs a value`);
    o[takes[name]] = value;
  }
  const m = /^(.+):(\d{1,5})$/.exec(o.listen);
  if (!m || Number(m[2]) > 65535) fail(`--listen: expected HOST:PORT, like 127.0.0.1:8080, found "${o.listen}"`);
  [o.host, o.port] = [m[1].replace(/^\[|\]$/g, ''), Number(m[2])];
  o.jobs = Number(o.jobs);
  if (!Number.isInteger(o.jobs) || o.jobs < 1 || o.jobs > 64) fail('-j: expected a number of builds from 1 to 64');
  if (!o.kit || !fs.existsSync(path.join(o.kit, '.complete'))) fail(`the kit ${o.kit ?? '(none given)'} is not ready`);
  if ((o.class === undefined) !== (o.token === undefined)) fail('--class and --token come together');
  if (o.class !== undefined) {
    if (o.token.length < 8) fail('--token: use at least 8 characters, so that it cannot be guessed');
    fs.mkdirSync(o.class, { recursive: true });
    o.class = fs.realpathSync(o.class);
  }
  o.cache ??= path.join(process.env.XDG_CACHE_HOME || path.join(os.homedir(), '.cache'), 'vantrel', 'playground');
  o.codemirror ??= '/usr/share/javascript/codemirror';
  return o;
}

const options = parseOptions(process.argv.slice(2));
const version = fs.readFileSync(path.join(options.kit, '.complete'), 'utf8').trim() + path.basename(options.kit);
const builds = new Builds({ kit: options.kit, home: here, grading: path.join(options.kit, 'grading'),
  cache: options.cache, jobs: options.jobs, queue: 4 * options.jobs, version });

// ---- Answers -------------------------------------------------------------------

const COMMON = { 'X-Content-Type-Options': 'nosniff', 'Referrer-Policy': 'no-referrer' };
// The editor: only its own scripts and styles, and programs in frames.
const EDITOR_POLICY = "default-src 'self'; script-src 'self'; style-src 'self' 'unsafe-inline'; " +
  "img-src 'self' data: blob:; frame-src 'self'; connect-src 'self'; object-src 'none'; base-uri 'none'";
// A program's page runs in a sandbox of its own origin: it cannot read the
// playground's storage, nor any other program's, nor reach anywhere else.
const PROGRAM_POLICY = "sandbox allow-scripts allow-pointer-lock; default-src 'none'; " +
  "script-src 'self' 'unsafe-inline' 'wasm-unsafe-eval'; style-src 'unsafe-inline'; connect-src 'self'; " +
  "img-src data: blob:; media-src data: blob:; base-uri 'self'; form-action 'none'";

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8', '.json': 'application/json',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream' };

function send(response, status, body, headers = {}) {
  response.writeHead(status, { ...COMMON, 'Content-Length': Buffer.byteLength(body), ...headers });
  response.end(body);
}

function sendJson(response, status, value, headers = {}) {
  send(response, status, JSON.stringify(value), { 'Content-Type': 'application/json', 'Cache-Control': 'no-store', ...headers });
}

function sendFile(response, file, headers = {}) {
  let body;
  try {
    body = fs.readFileSync(file);
  } catch {
    throw new HttpError(404, 'no such page');
  }
  send(response, 200, body, { 'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream', ...headers });
}

// ---- The examples ----------------------------------------------------------------

function examples() {
  if (!options.examples) return [];
  try {
    return fs.readdirSync(options.examples, { withFileTypes: true })
      .filter((e) => e.isDirectory() && fs.existsSync(path.join(options.examples, e.name, 'main.cpp')))
      .map((e) => e.name).sort();
  } catch {
    return [];
  }
}

function example(name) {
  if (!examples().includes(name)) throw new HttpError(404, `there is no example "${name}"`);
  const folder = path.join(options.examples, name);
  const files = {};
  const assets = {};
  for (const file of fs.readdirSync(folder).sort()) {
    const type = path.extname(file).toLowerCase();
    if (SOURCE_TYPES.includes(type)) files[file] = fs.readFileSync(path.join(folder, file), 'utf8');
    else if (ASSET_TYPES.includes(type) && file !== 'screenshot.png') {
      assets[file] = fs.readFileSync(path.join(folder, file)).toString('base64');
    }
  }
  return { name, files, assets };
}

// ---- The API ---------------------------------------------------------------------

async function apiBuild(request, response) {
  const program = parseProgram(parseJson(await readBody(request)));
  let result;
  try {
    result = await builds.build(program);
  } catch (error) {
    if (error instanceof Busy) {
      throw new HttpError(503, 'the playground is busy: try again in a few seconds', { 'Retry-After': '3' });
    }
    throw error;
  }
  sendJson(response, 200, { id: result.id, ok: result.ok, errors: result.errors, log: result.log });
}

async function apiHandin(request, response) {
  const body = parseJson(await readBody(request));
  if (!options.class) throw new HttpError(404, 'this playground takes no hand-ins (it was started without --class)');
  if (!tokenMatches(body.token, options.token)) throw new HttpError(403, 'the hand-in token is wrong');
  const name = checkName(body.name);
  storeHandin(options.class, name, parseProgram(body));
  sendJson(response, 200, { ok: true, name });
}

// ---- A built program ---------------------------------------------------------------

function program(response, id, file) {
  if (!isProgramId(id) || !builds.result(id)?.ok) throw new HttpError(404, 'there is no such program');
  const folder = builds.folder(id);
  const shared = { 'Cache-Control': 'public, max-age=31536000, immutable', 'Access-Control-Allow-Origin': '*' };
  if (file === '') {
    // Its files (the script, and the .wasm and .data the script loads
    // relative to the page) are found under /p/ID/.
    const html = fs.readFileSync(path.join(folder, 'index.html'), 'utf8')
      .replace('<head>', `<head>\n<base href="/p/${id}/">`);
    send(response, 200, html, { ...shared, 'Content-Type': TYPES['.html'], 'Content-Security-Policy': PROGRAM_POLICY });
  } else if (['index.js', 'index.wasm', 'index.data', 'sources.json'].includes(file)) {
    sendFile(response, path.join(folder, file), shared);
  } else if (file === 'page.html') {
    sendFile(response, onePage(folder), { ...shared, 'Content-Security-Policy': PROGRAM_POLICY,
      'Content-Disposition': 'attachment; filename="program.html"' });
  } else {
    throw new HttpError(404, 'no such page');
  }
}

// The one-file page, packed the first time it is asked for.
function onePage(folder) {
  const page = path.join(folder, 'page.html');
  if (!fs.existsSync(page)) {
    const packer = path.join(options.kit, 'web', 'pack.mjs');
    const temporary = path.join(builds.scratch, `page-${process.pid}-${Date.now()}.html`);
    const { status } = spawnSyncNode(packer, path.join(folder, 'index.html'), temporary);
    if (status !== 0) throw new Error('cannot pack the one-file page');
    fs.renameSync(temporary, page);
  }
  return page;
}

function spawnSyncNode(...args) {
  return spawnSync(process.execPath, args, { stdio: 'ignore', timeout: 60000, env: { PATH: process.env.PATH } });
}

// ---- Routes ------------------------------------------------------------------------

const PAGE = path.join(here, 'page');
const STATIC = { '/': 'index.html', '/playground.js': 'playground.js', '/playground.css': 'playground.css',
  '/zip.js': 'zip.js' };
const CODEMIRROR = { '/codemirror/codemirror.js': 'lib/codemirror.js', '/codemirror/codemirror.css': 'lib/codemirror.css',
  '/codemirror/clike.js': 'mode/clike/clike.js' };

async function route(request, response) {
  const url = new URL(request.url, 'http://playground');
  const where = url.pathname;
  const method = request.method;
  if (method === 'POST' && where === '/api/build') return apiBuild(request, response);
  if (method === 'POST' && where === '/api/handin') return apiHandin(request, response);
  if (method !== 'GET' && method !== 'HEAD') throw new HttpError(405, 'not a request the playground answers');
  if (STATIC[where]) return sendFile(response, path.join(PAGE, STATIC[where]), { 'Content-Security-Policy': EDITOR_POLICY, 'Cache-Control': 'no-cache' });
  if (CODEMIRROR[where]) return sendFile(response, path.join(options.codemirror, CODEMIRROR[where]), { 'Cache-Control': 'max-age=86400' });
  let m = /^\/s\/([0-9a-f]{32})$/.exec(where);
  if (m) return sendFile(response, path.join(PAGE, 'index.html'), { 'Content-Security-Policy': EDITOR_POLICY, 'Cache-Control': 'no-cache' });
  if (where === '/api/examples') return sendJson(response, 200, { examples: examples(), handin: Boolean(options.class) });
  m = /^\/api\/examples\/([A-Za-z0-9_-]+)$/.exec(where);
  if (m) return sendJson(response, 200, example(m[1]));
  m = /^\/p\/([^/]+)(?:\/([^/]*))?$/.exec(where);
  if (m) return program(response, m[1], m[2] ?? '');
  throw new HttpError(404, 'no such page');
}

const server = http.createServer((request, response) => {
  route(request, response).catch((error) => {
    if (response.headersSent) return response.destroy();
    if (error instanceof HttpError) return sendJson(response, error.status, { error: error.message }, error.headers);
    console.error(`vantrel-playground: ${request.method} ${request.url}: ${error.stack ?? error}`);
    sendJson(response, 500, { error: 'the playground failed; its log says why' });
  });
});
server.requestTimeout = 120000;
server.headersTimeout = 20000;
server.on('error', (error) => fail(`cannot listen on ${options.listen}: ${error.message}`));
server.listen(options.port, options.host, () => {
  const { port } = server.address();
  const host = options.host.includes(':') ? `[${options.host}]` : options.host;
  console.log(`Vantrel playground: http://${host}:${port}/ (${options.jobs} builds at once${options.class ? `, hand-ins to ${options.class}` : ''}; Ctrl+C stops it)`);
});

function stop(signal) {
  console.log(`vantrel-playground: ${signal}: stopping`);
  builds.stop();
  server.close(() => process.exit(0));
  server.closeAllConnections?.();
  setTimeout(() => process.exit(0), 3000).unref();
}
process.on('SIGINT', () => stop('SIGINT'));
process.on('SIGTERM', () => stop('SIGTERM'));
