// What the playground accepts from a browser: request bodies of a bounded
// size, JSON of the shape the API names, and file names that stay inside the
// program's folder. Anything else is an HttpError with the status to answer.

// A whole request, JSON and base64 included.
export const MAX_BODY = 4 << 20;
// Per program: files, and the size of each source file and each asset.
export const MAX_FILES = 32;
export const MAX_SOURCE = 256 << 10;
export const MAX_ASSET = 2 << 20;

export const SOURCE_TYPES = ['.cpp', '.h', '.hpp'];
export const ASSET_TYPES = ['.png', '.jpg', '.jpeg', '.bmp', '.gif', '.wav', '.ogg', '.mp3',
  '.flac', '.ttf', '.otf'];

export class HttpError extends Error {
  constructor(status, message, headers = {}) {
    super(message);
    this.status = status;
    this.headers = headers;
  }
}

// readBody(request): the body as a Buffer, refused with 413 past MAX_BODY
// (by its Content-Length before reading, else as soon as it grows past it).
export function readBody(request, limit = MAX_BODY) {
  return new Promise((resolve, reject) => {
    const declared = Number(request.headers['content-length']);
    if (declared > limit) {
      reject(new HttpError(413, `the request is larger than ${limit >> 20} MB`));
      request.resume();
      return;
    }
    const chunks = [];
    let size = 0;
    request.on('data', (chunk) => {
      size += chunk.length;
      if (size > limit) {
        reject(new HttpError(413, `the request is larger than ${limit >> 20} MB`));
        request.destroy();
        return;
      }
      chunks.push(chunk);
    });
    request.on('end', () => resolve(Buffer.concat(chunks)));
    request.on('error', () => reject(new HttpError(400, 'the request ended early')));
  });
}

export function parseJson(body) {
  try {
    const value = JSON.parse(body.toString('utf8'));
    if (value === null || typeof value !== 'object' || Array.isArray(value)) throw new Error();
    return value;
  } catch {
    throw new HttpError(400, 'the request is not a JSON object');
  }
}

const extension = (name) => name.slice(name.lastIndexOf('.')).toLowerCase();

// A file name of the program's one folder: letters, digits, dots, dashes and
// underscores, not starting with a dot or a dash, and never "..".
export function checkFileName(name) {
  if (typeof name !== 'string' || !/^[A-Za-z0-9_][A-Za-z0-9_.-]{0,63}$/.test(name) ||
      name.includes('..')) {
    throw new HttpError(400, `"${String(name).slice(0, 80)}" is not a file name the playground takes: ` +
      'no folders, no "..", only letters, digits, dots, dashes and underscores');
  }
  return name;
}

// The program of a build or hand-in request: {files: {name: text}, assets:
// {name: base64}}, checked. Returns {files, assets} with assets as Buffers.
export function parseProgram(request) {
  const files = request.files;
  const assets = request.assets ?? {};
  if (files === null || typeof files !== 'object' || Array.isArray(files)) {
    throw new HttpError(400, '"files" must be an object of file names and their text');
  }
  if (assets === null || typeof assets !== 'object' || Array.isArray(assets)) {
    throw new HttpError(400, '"assets" must be an object of file names and their base64 contents');
  }
  const names = [...Object.keys(files), ...Object.keys(assets)];
  if (names.length > MAX_FILES) throw new HttpError(400, `a program has at most ${MAX_FILES} files`);
  if (new Set(names.map((n) => n.toLowerCase())).size !== names.length) {
    throw new HttpError(400, 'two files have the same name');
  }
  const sources = {};
  for (const [name, text] of Object.entries(files)) {
    checkFileName(name);
    if (!SOURCE_TYPES.includes(extension(name))) {
      throw new HttpError(400, `"${name}": source files end in ${SOURCE_TYPES.join(', ')}`);
    }
    if (typeof text !== 'string') throw new HttpError(400, `"${name}": its text must be a string`);
    if (Buffer.byteLength(text) > MAX_SOURCE) {
      throw new HttpError(400, `"${name}" is larger than ${MAX_SOURCE >> 10} KB`);
    }
    sources[name] = text;
  }
  const data = {};
  for (const [name, base64] of Object.entries(assets)) {
    checkFileName(name);
    if (!ASSET_TYPES.includes(extension(name))) {
      throw new HttpError(400, `"${name}": images, sounds and fonts end in ${ASSET_TYPES.join(', ')}`);
    }
    if (typeof base64 !== 'string' || base64.length % 4 !== 0 || !/^[A-Za-z0-9+/]*={0,2}$/.test(base64)) {
      throw new HttpError(400, `"${name}": its contents must be base64`);
    }
    const bytes = Buffer.from(base64, 'base64');
    if (bytes.length > MAX_ASSET) throw new HttpError(413, `"${name}" is larger than ${MAX_ASSET >> 20} MB`);
    data[name] = bytes;
  }
  return { files: sources, assets: data };
}
