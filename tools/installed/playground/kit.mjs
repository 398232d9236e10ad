// Reads the probe's compile line (compile_commands.json) and link line (the
// last of `ninja -t commands program`, in probe/link.txt) and writes them to
// KIT/flags.sh as three bash arrays, for inside_build.sh:
//   COMPILE  em++ and its options, without the source and the object
//   LINK     em++ and its options up to the objects
//   LIBS     what follows the output: the libraries
// Each word is quoted for bash. The probe's build folder is where relative
// words are relative to; inside_build.sh runs the link from there.
//
//   node kit.mjs KIT
import fs from 'node:fs';
import path from 'node:path';

function fail(message) {
  console.error(`kit.mjs: ${message}`);
  process.exit(1);
}

// The words of a command line as CMake and Ninja write it for a POSIX shell.
export function shellWords(line) {
  const words = [];
  let word = null;
  for (let i = 0; i < line.length; i++) {
    const c = line[i];
    if (c === "'") {
      const end = line.indexOf("'", i + 1);
      if (end < 0) throw new Error('unterminated quote');
      word = (word ?? '') + line.slice(i + 1, end);
      i = end;
    } else if (c === '"') {
      word = word ?? '';
      for (i++; i < line.length && line[i] !== '"'; i++) {
        if (line[i] === '\\' && i + 1 < line.length && '"\\$`'.includes(line[i + 1])) i++;
        word += line[i];
      }
      if (i >= line.length) throw new Error('unterminated quote');
    } else if (c === '\\' && i + 1 < line.length) {
      word = (word ?? '') + line[++i];
    } else if (/\s/.test(c)) {
      if (word !== null) words.push(word);
      word = null;
    } else {
      word = (word ?? '') + c;
    }
  }
  if (word !== null) words.push(word);
  return words;
}

const quote = (word) => `'${word.replace(/'/g, `'\\''`)}'`;
const array = (name, words) => `${name}=(${words.map(quote).join(' ')})\n`;

const kit = process.argv[2];
if (!kit) fail('usage: node kit.mjs KIT');
const build = path.join(kit, 'probe', 'build');
const commands = JSON.parse(fs.readFileSync(path.join(build, 'compile_commands.json'), 'utf8'));
const entry = commands.find((c) => c.file.endsWith('main.cpp'));
if (!entry) fail('the probe has no compile line for main.cpp');
let compile = entry.arguments ?? shellWords(entry.command);
// Without -o OBJECT, -c SOURCE and the source itself.
compile = compile.filter((word, i, all) => word !== '-c' && word !== entry.file &&
  word !== '-o' && all[i - 1] !== '-o');

// ": && em++ ... OBJECT -o OUTPUT LIBS... && :"
const words = shellWords(fs.readFileSync(path.join(kit, 'probe', 'link.txt'), 'utf8').trim());
const start = words.findIndex((w) => /em\+\+$/.test(w));
let end = words.indexOf('&&', start);
if (end < 0) end = words.length;
const line = words.slice(start, end);
const object = line.findIndex((w) => w.endsWith('main.cpp.o'));
const output = line.indexOf('-o');
if (start < 0 || object < 0 || output !== object + 1) fail(`cannot read the link line: ${words.join(' ')}`);
// Libraries named relative to the probe's build folder are made absolute.
const libs = line.slice(output + 2).map((w) => (!w.startsWith('-') && !path.isAbsolute(w) ? path.join(build, w) : w));

// A learner waits for every build, so the playground builds for speed: the
// program's own code unoptimised (-O0; the libraries are optimised already),
// and no optimiser after Asyncify's rewrite, which takes most of a link.
compile = compile.map((w) => (/^-O[0-9sz]$/.test(w) ? '-O0' : w));
const link = line.slice(0, object).filter((w) => !/^-O[0-9sz]$/.test(w) && !w.startsWith('-sBINARYEN_EXTRA_PASSES='));
link.push('-O0');

const text = '# The playground\'s compile and link lines, read from the probe by kit.mjs.\n' +
  array('COMPILE', compile) + array('LINK', link) + array('LIBS', libs);
fs.writeFileSync(path.join(kit, 'flags.sh.part'), text);
fs.renameSync(path.join(kit, 'flags.sh.part'), path.join(kit, 'flags.sh'));
