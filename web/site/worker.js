// The page's worker: it holds the module with both plug-ins and answers the
// page's requests, so that decoding never holds up the page. Requests from
// the page come first; a pack's thumbnails are made between them, a few at
// a time.
'use strict';

// The module's C library can ask for files; the page has none, so each such
// call fails. With no folder handed over (EBADF from fd_prestat_get) the C
// library looks for no others.
const WASI_EBADF = 8;
const WASI_ENOSYS = 52;
function systemImports() {
  const table = {
    fd_prestat_get: () => WASI_EBADF,
    fd_prestat_dir_name: () => WASI_EBADF,
    proc_exit: (code) => { throw new Error(`the module stopped (${code})`); },
  };
  return {wasi_snapshot_preview1: new Proxy(table, {get: (t, name) => t[name] ?? (() => WASI_ENOSYS)})};
}

const compiled = fetch('krt.wasm').then((r) => {
  if (!r.ok) throw new Error(`krt.wasm: ${r.status} ${r.statusText}`);
  return r.arrayBuffer();
}).then((bytes) => WebAssembly.compile(bytes));

// One instance at a time. A trap (say, memory running out) leaves it in no
// state to trust, so the next request gets a fresh one.
let module = null;
async function instance() {
  if (module === null) {
    const made = await WebAssembly.instantiate(await compiled, systemImports());
    made.exports._initialize();
    module = {x: made.exports, buffers: new Map()};
  }
  return module;
}

// A file's bytes in a buffer of the module's memory, made once per file and
// instance.
const files = new Map();  // file id -> ArrayBuffer
function fileBuffer(m, id) {
  let buffer = m.buffers.get(id);
  if (buffer === undefined) {
    const bytes = new Uint8Array(files.get(id));
    buffer = m.x.krt_buffer_new(bytes.length);
    if (buffer === 0) throw new Error('not enough memory for the file');
    new Uint8Array(m.x.memory.buffer, m.x.krt_buffer_data(buffer), bytes.length).set(bytes);
    m.buffers.set(id, buffer);
  }
  return buffer;
}

function text(m, address) {
  const memory = new Uint8Array(m.x.memory.buffer);
  let end = address;
  while (memory[end] !== 0) end++;
  return new TextDecoder().decode(memory.subarray(address, end));
}

// A record's fields by name; addresses are unsigned.
const ADDRESSES = new Set(['colours', 'rgba', 'message', 'entries']);
function fields(m, address, names) {
  const words = new Int32Array(m.x.memory.buffer, address, names.length);
  return Object.fromEntries(names.map((name, k) => [name, ADDRESSES.has(name) ? words[k] >>> 0 : words[k]]));
}

// The picture record's fields, in the order of module/page_exports.cpp.
const PICTURE_FIELDS = ['failed', 'width', 'height', 'depth', 'mode', 'paletteCount',
  'colourCount', 'colours', 'rgba', 'rgbaWidth', 'rgbaHeight', 'message'];
function takePicture(m, answer) {
  const f = fields(m, m.x.krt_picture_fields(answer), PICTURE_FIELDS);
  let result;
  if (f.failed) {
    result = {error: text(m, f.message)};
  } else {
    const memory = m.x.memory.buffer;
    result = {
      width: f.width, height: f.height, depth: f.depth, mode: f.mode, paletteCount: f.paletteCount,
      colours: new Uint8Array(memory, f.colours, 4 * f.colourCount).slice(),
      rgba: new Uint8ClampedArray(memory, f.rgba, 4 * f.rgbaWidth * f.rgbaHeight).slice(),
      rgbaWidth: f.rgbaWidth, rgbaHeight: f.rgbaHeight,
    };
  }
  m.x.krt_picture_free(answer);
  return result;
}

const PACK_FIELDS = ['failed', 'count', 'entries', 'message'];
const ENTRY_BYTES = 40;  // position, size, 32 bytes of name
function takePack(m, answer) {
  const f = fields(m, m.x.krt_pack_fields(answer), PACK_FIELDS);
  let result;
  if (f.failed) {
    result = {error: text(m, f.message)};
  } else {
    const view = new DataView(m.x.memory.buffer, f.entries, f.count * ENTRY_BYTES);
    result = {entries: []};
    for (let k = 0; k < f.count; k++) {
      const at = k * ENTRY_BYTES;
      result.entries.push({position: view.getUint32(at, true), size: view.getUint32(at + 4, true),
        name: text(m, f.entries + at + 8)});
    }
  }
  m.x.krt_pack_free(answer);
  return result;
}

const transfers = (picture) => (picture.rgba ? [picture.rgba.buffer, picture.colours.buffer] : []);

// The requests: open a file (a screen's picture, or a pack's entries and
// then its thumbnails), show a pack entry, forget a file.
const THUMBNAIL_PX = 96;
const THUMBNAILS_PER_TURN = 8;
let thumbnailJobs = [];
async function handle(request) {
  const m = await instance();
  if (request.op === 'open') {
    files.set(request.file, request.bytes);
    const kind = m.x.krt_file_kind(fileBuffer(m, request.file));
    if (kind === 1) {
      const picture = takePicture(m, m.x.krt_picture(fileBuffer(m, request.file), 0));
      postMessage({op: 'screen', file: request.file, picture}, transfers(picture));
    } else if (kind === 2) {
      const pack = takePack(m, m.x.krt_pack(fileBuffer(m, request.file)));
      postMessage({op: 'pack', file: request.file, ...pack});
      if (pack.entries) thumbnailJobs.push({file: request.file, entries: pack.entries, next: 0});
    } else {
      const error = kind < 0 ? 'the plug-ins could not be set up' : 'neither a screen file nor a screen pack';
      postMessage({op: 'screen', file: request.file, picture: {error}});
    }
  } else if (request.op === 'entry') {
    const picture = takePicture(m, m.x.krt_entry_picture(fileBuffer(m, request.file), request.position, 0));
    postMessage({op: 'entry', file: request.file, index: request.index, picture}, transfers(picture));
  } else if (request.op === 'forget') {
    thumbnailJobs = thumbnailJobs.filter((job) => job.file !== request.file);
    files.delete(request.file);
    const buffer = m.buffers.get(request.file);
    if (buffer !== undefined) m.x.krt_buffer_free(buffer);
    m.buffers.delete(request.file);
  }
}

async function thumbnails(job) {
  const m = await instance();
  const made = [];
  const buffers = [];
  try {
    for (let n = 0; n < THUMBNAILS_PER_TURN && job.next < job.entries.length; n++, job.next++) {
      const picture = takePicture(m,
        m.x.krt_entry_picture(fileBuffer(m, job.file), job.entries[job.next].position, THUMBNAIL_PX));
      made.push({index: job.next, picture});
      buffers.push(...transfers(picture));
    }
  } catch (error) {
    postMessage({op: 'thumbnails', file: job.file, made, done: false}, buffers);
    throw error;
  }
  const done = job.next === job.entries.length;
  if (done) thumbnailJobs.shift();
  postMessage({op: 'thumbnails', file: job.file, made, done}, buffers);
}

// Lets the page's next request in before more thumbnails are made, without
// the delay that nested timers get.
const turns = new MessageChannel();
let wake = null;
turns.port1.onmessage = () => wake();
const nextTurn = () => new Promise((resolve) => { wake = resolve; turns.port2.postMessage(0); });

const requests = [];
let running = false;
async function run() {
  if (running) return;
  running = true;
  while (requests.length > 0 || thumbnailJobs.length > 0) {
    const request = requests.shift();
    const job = request === undefined ? thumbnailJobs[0] : null;
    try {
      await (request !== undefined ? handle(request) : thumbnails(job));
    } catch (error) {
      module = null;  // trapped: start afresh for the next request
      const message = error instanceof WebAssembly.RuntimeError
        ? `the decoder stopped, perhaps out of memory (${error.message})` : String(error.message || error);
      if (job) {
        // The thumbnail that stopped it fails alone; the rest are still made.
        const done = ++job.next >= job.entries.length;
        if (done) thumbnailJobs.shift();
        postMessage({op: 'thumbnails', file: job.file, made: [{index: job.next - 1, picture: {error: message}}], done});
      } else {
        postMessage({op: 'failed', file: request.file, index: request.index, message});
      }
    }
    await nextTurn();
  }
  running = false;
}

onmessage = (event) => {
  requests.push(event.data);
  run();
};
