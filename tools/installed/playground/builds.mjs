// The playground's builds: each program is built once, in a sandbox
// (build_step.sh), at most `jobs` at a time with a bounded queue behind them,
// and kept in the cache folder under the hash of its files, its assets and
// the kit's version. A build's folder is written beside the cache and renamed
// into it whole, so several servers may share one cache folder.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { spawn } from 'node:child_process';

export class Busy extends Error {}

// A program's id: the first 32 hex digits of a SHA-256 over everything that
// makes the build, in a fixed order.
export function programId(version, program) {
  const hash = crypto.createHash('sha256');
  const add = (text) => hash.update(`${Buffer.byteLength(text)}:`).update(text);
  add(version);
  for (const name of Object.keys(program.files).sort()) add(`f${name}`), add(program.files[name]);
  for (const name of Object.keys(program.assets).sort()) {
    add(`a${name}`);
    hash.update(`${program.assets[name].length}:`).update(program.assets[name]);
  }
  return hash.digest('hex').slice(0, 32);
}

export const isProgramId = (text) => /^[0-9a-f]{32}$/.test(text);

// The compiler's messages about the program's own files, as the page marks
// them; and the linker's, which name no line.
export function parseErrors(log, names) {
  const errors = [];
  for (const line of log.split('\n')) {
    let m = /^(?:\.\/|\/work\/src\/)?([^:\s]+):(\d+):(\d+): (?:fatal )?error: (.*)$/.exec(line);
    if (m && names.includes(m[1])) {
      errors.push({ file: m[1], line: Number(m[2]), column: Number(m[3]), message: m[4] });
      continue;
    }
    m = /^(?:wasm-ld: )?error: (.*)$/.exec(line);
    if (m) errors.push({ file: '', line: 0, column: 0, message: m[1].replace(/\/work\/obj\//g, '') });
  }
  return errors.slice(0, 100);
}

function readFacts(file) {
  const facts = {};
  try {
    for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
      const m = /^([a-z_]+)=(.*)$/.exec(line);
      if (m) facts[m[1]] = m[2];
    }
  } catch { /* no facts: the step did not run */ }
  return facts;
}

function run(command, args, options, seconds) {
  return new Promise((resolve) => {
    const child = spawn(command, args, { ...options, detached: true, stdio: 'ignore' });
    const timer = setTimeout(() => kill(child), seconds * 1000);
    options.children?.add(child);
    child.on('exit', (code) => {
      clearTimeout(timer);
      options.children?.delete(child);
      resolve(code);
    });
    child.on('error', () => resolve(127));
  });
}

function kill(child) {
  try {
    process.kill(-child.pid, 'SIGKILL');
  } catch { /* already gone */ }
}

export class Builds {
  // kit: the kit's folder; home: this folder (build_step.sh); grading: the
  // grading scripts' folder; cache: the cache folder; jobs: builds at once;
  // queue: builds that may wait beyond those.
  constructor({ kit, home, grading, cache, jobs, queue, version }) {
    Object.assign(this, { kit, home, grading, jobs, queue, version });
    this.builds = path.join(cache, 'builds');
    this.scratch = path.join(cache, 'scratch');
    fs.mkdirSync(this.builds, { recursive: true });
    fs.mkdirSync(this.scratch, { recursive: true });
    this.running = 0;
    this.waiting = [];
    this.pending = new Map();
    this.children = new Set();
    this.stopped = false;
  }

  folder(id) {
    return path.join(this.builds, id);
  }

  // The stored result of a build, or null.
  result(id) {
    try {
      return JSON.parse(fs.readFileSync(path.join(this.folder(id), 'result.json'), 'utf8'));
    } catch {
      return null;
    }
  }

  // build(program): its result, from the cache, from a build of the same
  // program already under way, or from a new build; throws Busy when the
  // queue is full.
  build(program) {
    const id = programId(this.version, program);
    const stored = this.result(id);
    if (stored) return Promise.resolve({ ...stored, cached: true });
    if (this.pending.has(id)) return this.pending.get(id);
    if (this.running >= this.jobs && this.waiting.length >= this.queue) throw new Busy();
    const promise = new Promise((resolve, reject) => {
      this.waiting.push(() => this.make(id, program).then(resolve, reject));
      this.next();
    }).finally(() => this.pending.delete(id));
    this.pending.set(id, promise);
    return promise;
  }

  next() {
    while (!this.stopped && this.running < this.jobs && this.waiting.length > 0) {
      const start = this.waiting.shift();
      this.running++;
      start().finally(() => {
        this.running--;
        this.next();
      });
    }
  }

  async make(id, program) {
    const started = Date.now();
    const job = fs.mkdtempSync(path.join(this.scratch, `${id}-`));
    try {
      const src = path.join(job, 'src');
      fs.mkdirSync(src);
      for (const [name, text] of Object.entries(program.files)) fs.writeFileSync(path.join(src, name), text);
      for (const [name, bytes] of Object.entries(program.assets)) fs.writeFileSync(path.join(src, name), bytes);
      fs.writeFileSync(path.join(job, 'assets.txt'), Object.keys(program.assets).map((n) => `${n}\n`).join(''));
      const env = { PATH: '/usr/local/bin:/usr/bin:/bin', LANG: 'C.UTF-8' };
      if (await run('tar', ['-c', '-f', 'input.tar', 'src', 'assets.txt'], { cwd: job, env }, 30) !== 0) {
        throw new Error('cannot pack the program for its sandbox');
      }
      await run('bash', [path.join(this.home, 'build_step.sh'), this.grading, this.kit, job],
        { env, children: this.children }, 150);
      if (this.stopped) throw new Error('the playground is stopping');
      const facts = readFacts(path.join(job, 'build.facts'));
      if (facts.status === undefined || facts.status === '125') {
        throw new Error(`the build's sandbox did not start (${JSON.stringify(facts)})`);
      }
      let log = '';
      try {
        log = fs.readFileSync(path.join(job, 'build.log'), 'utf8');
      } catch { /* no log */ }
      const out = path.join(job, 'out');
      const ok = facts.status === '0' && ['index.html', 'index.js', 'index.wasm'].every((f) => fs.existsSync(path.join(out, f)));
      const errors = ok ? [] : parseErrors(log, Object.keys(program.files));
      if (!ok && errors.length === 0) {
        const why = facts.limit === 'time' ? 'the build took too long' :
          facts.limit === 'memory' ? 'the build used too much memory' : 'the build failed';
        errors.push({ file: '', line: 0, column: 0, message: why });
      }
      const result = { id, ok, errors, log, seconds: (Date.now() - started) / 1000 };
      // Kept only when the program's own files decided it: a sandbox that
      // did not start, or a build stopped by a limit on a busy machine, is
      // tried again next time.
      if (!ok && !(facts.status === '1' && !facts.limit)) return result;
      // The build's folder, whole: the page, the program's files, the result last.
      const made = path.join(job, 'made');
      fs.mkdirSync(made);
      if (ok) for (const f of fs.readdirSync(out)) fs.renameSync(path.join(out, f), path.join(made, f));
      const assets = Object.fromEntries(Object.entries(program.assets).map(([n, b]) => [n, b.toString('base64')]));
      fs.writeFileSync(path.join(made, 'sources.json'), JSON.stringify({ files: program.files, assets }));
      fs.writeFileSync(path.join(made, 'result.json'), JSON.stringify(result));
      try {
        fs.renameSync(made, this.folder(id));
      } catch (error) {
        // Another server sharing the cache finished it first: theirs stands.
        if (!['EEXIST', 'ENOTEMPTY'].includes(error.code)) throw error;
      }
      return result;
    } finally {
      fs.rmSync(job, { recursive: true, force: true });
    }
  }

  // Ends every build under way and refuses the waiting ones.
  stop() {
    this.stopped = true;
    for (const child of this.children) kill(child);
    this.waiting.length = 0;
  }
}
