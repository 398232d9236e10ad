// Hand-ins: a learner's program stored as CLASS/NAME/, one folder each, as
// vantrel-grade reads a class. The token is compared in constant time, the
// name may hold only letters, digits, spaces, dots, dashes and underscores,
// and a hand-in replaces an earlier one of the same name whole: it is written
// beside the class's folders and renamed into place.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { HttpError } from './requests.mjs';

export function tokenMatches(given, expected) {
  if (typeof given !== 'string') return false;
  const digest = (text) => crypto.createHash('sha256').update(text).digest();
  return crypto.timingSafeEqual(digest(given), digest(expected));
}

// A learner's name as a folder: also never only dots, and never starting or
// ending with a space or a dot, which would hide the folder or be mistaken.
export function checkName(name) {
  if (typeof name !== 'string' || !/^[A-Za-z0-9 ._-]{1,64}$/.test(name) || /^[ .]|[ .]$/.test(name)) {
    throw new HttpError(400, 'a name holds 1 to 64 letters, digits, spaces, dots, dashes and ' +
      'underscores, and does not start or end with a space or a dot');
  }
  return name;
}

export function storeHandin(folder, name, program) {
  const incoming = fs.mkdtempSync(path.join(folder, '.incoming-'));
  try {
    for (const [file, text] of Object.entries(program.files)) fs.writeFileSync(path.join(incoming, file), text);
    for (const [file, bytes] of Object.entries(program.assets)) fs.writeFileSync(path.join(incoming, file), bytes);
    fs.chmodSync(incoming, 0o755);
    const target = path.join(folder, name);
    let old = null;
    if (fs.existsSync(target)) {
      old = `${incoming}.old`;
      fs.renameSync(target, old);
    }
    fs.renameSync(incoming, target);
    if (old) fs.rmSync(old, { recursive: true, force: true });
  } finally {
    fs.rmSync(incoming, { recursive: true, force: true });
  }
}
