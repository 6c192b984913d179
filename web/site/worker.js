// A worker for one opened file: it reads the file into its own instance of
// the module (both plug-ins) and answers the page's requests for it, so that
// decoding never holds up the page, and closing the file ends the worker and
// gives all its memory back. Requests come first; thumbnails the page asks
// for are made between them, a few at a time.
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

// The module comes compiled from the page, with the first request.
let compiled = null;

// One instance at a time. A trap (say, memory running out) leaves it in no
// state to trust, so the next request gets a fresh one, and the file's bytes
// go into it again.
let module = null;
let source = null;  // the File
let fileBuffer = 0;
async function instance() {
  if (module === null) {
    const made = await WebAssembly.instantiate(await compiled, systemImports());
    made.exports._initialize();
    module = made.exports;
    fileBuffer = 0;
  }
  return module;
}

// The file's bytes in a buffer of the module's memory, read in pieces so
// that the page can show how far reading has come.
const PROGRESS_EVERY_MS = 100;
async function readFile(m) {
  if (fileBuffer !== 0) return fileBuffer;
  const size = source.size;
  const buffer = m.krt_buffer_new(size);
  if (buffer === 0) throw new Error('not enough memory for the file');
  const data = m.krt_buffer_data(buffer);
  let read = 0;
  let told = performance.now();
  const reader = source.stream().getReader();
  for (;;) {
    const {done, value} = await reader.read();
    if (done) break;
    if (read + value.length > size) throw new Error('the file changed while it was read');
    new Uint8Array(m.memory.buffer, data + read, value.length).set(value);
    read += value.length;
    if (performance.now() - told > PROGRESS_EVERY_MS) {
      told = performance.now();
      postMessage({op: 'progress', read, size});
    }
  }
  if (read !== size) throw new Error('the file changed while it was read');
  fileBuffer = buffer;
  return buffer;
}

function text(m, address) {
  const memory = new Uint8Array(m.memory.buffer);
  let end = address;
  while (memory[end] !== 0) end++;
  return new TextDecoder().decode(memory.subarray(address, end));
}

// A record's fields by name; addresses are unsigned.
const ADDRESSES = new Set(['colours', 'rgba', 'message', 'entries', 'dots', 'table']);
function fields(m, address, names) {
  const words = new Int32Array(m.memory.buffer, address, names.length);
  return Object.fromEntries(names.map((name, k) => [name, ADDRESSES.has(name) ? words[k] >>> 0 : words[k]]));
}

// The picture record's fields, in the order of module/page_exports.cpp.
const PICTURE_FIELDS = ['failed', 'width', 'height', 'depth', 'mode', 'paletteCount', 'colourCount',
  'colours', 'rgba', 'rgbaWidth', 'rgbaHeight', 'message', 'dots', 'tableCount', 'table'];
function takePicture(m, answer) {
  const f = fields(m, m.krt_picture_fields(answer), PICTURE_FIELDS);
  let result;
  if (f.failed) {
    result = {error: text(m, f.message)};
  } else {
    const memory = m.memory.buffer;
    const rowBytes = Math.ceil((f.width * f.depth) / 8);
    result = {
      width: f.width, height: f.height, depth: f.depth, mode: f.mode, paletteCount: f.paletteCount,
      colours: new Uint8Array(memory, f.colours, 4 * f.colourCount).slice(),
      rgba: new Uint8ClampedArray(memory, f.rgba, 4 * f.rgbaWidth * f.rgbaHeight).slice(),
      rgbaWidth: f.rgbaWidth, rgbaHeight: f.rgbaHeight,
      dots: f.dots ? new Uint8Array(memory, f.dots, rowBytes * f.height).slice() : null,
      table: new Uint8Array(memory, f.table, 4 * f.tableCount).slice(),
    };
  }
  m.krt_picture_free(answer);
  return result;
}

const PACK_FIELDS = ['failed', 'count', 'entries', 'message'];
const ENTRY_BYTES = 40;  // position, size, 32 bytes of name
function takePack(m, answer) {
  const f = fields(m, m.krt_pack_fields(answer), PACK_FIELDS);
  let result;
  if (f.failed) {
    result = {error: text(m, f.message)};
  } else {
    const view = new DataView(m.memory.buffer, f.entries, f.count * ENTRY_BYTES);
    result = {entries: []};
    for (let k = 0; k < f.count; k++) {
      const at = k * ENTRY_BYTES;
      result.entries.push({position: view.getUint32(at, true), size: view.getUint32(at + 4, true),
        name: text(m, f.entries + at + 8)});
    }
  }
  m.krt_pack_free(answer);
  return result;
}

const transfers = (picture) => (picture.rgba ? [picture.rgba.buffer] : []);

// What a file the plug-ins take neither as screen nor as pack is, in words.
const PNG_SIGNATURE = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
async function neither() {
  if (source.size === 0) return 'empty file';
  const head = new Uint8Array(await source.slice(0, 8).arrayBuffer());
  if (PNG_SIGNATURE.every((b, k) => head[k] === b)) return 'a PNG picture, not a screen file';
  return 'not a screen file: its header is damaged';
}

// Where the pack's readable part ends, when bytes other than zeros (which
// pad packs out) follow its last entry; null when nothing does.
function readableEnd(m) {
  const end = entries.reduce((last, e) => Math.max(last, e.position + e.size), 0);
  const rest = new Uint8Array(m.memory.buffer, m.krt_buffer_data(fileBuffer) + end, Math.max(0, source.size - end));
  return rest.some((b) => b !== 0) ? end : null;
}

// The requests: open the file (a screen's picture, or a pack's entries,
// handed over in batches), show a pack entry, make thumbnails.
const THUMBNAIL_PX = 96;
const THUMBNAILS_PER_TURN = 6;
const ENTRIES_PER_BATCH = 400;
let entries = [];
let wanted = [];  // entry indexes whose thumbnails the page waits for
async function handle(request) {
  const m = await instance();
  if (request.op === 'open') {
    source = request.file;
    const kind = source.size === 0 ? 0 : m.krt_file_kind(await readFile(m));
    if (kind === 1) {
      const picture = takePicture(m, m.krt_picture(fileBuffer, 0));
      postMessage({op: 'screen', picture}, transfers(picture));
    } else if (kind === 2) {
      const pack = takePack(m, m.krt_pack(fileBuffer));
      if (pack.error) return postMessage({op: 'failed', message: pack.error});
      entries = pack.entries;
      for (let at = 0; at < entries.length || at === 0; at += ENTRIES_PER_BATCH) {
        const done = at + ENTRIES_PER_BATCH >= entries.length;
        postMessage({op: 'entries', entries: entries.slice(at, at + ENTRIES_PER_BATCH), done,
          readableEnd: done ? readableEnd(m) : null});
      }
    } else {
      postMessage({op: 'failed', message: kind < 0 ? 'the plug-ins could not be set up' : await neither()});
    }
  } else if (request.op === 'entry') {
    const position = entries[request.index].position;
    const picture = takePicture(m, m.krt_entry_picture(await readFile(m), position, 0));
    postMessage({op: 'entry', index: request.index, picture}, transfers(picture));
  } else if (request.op === 'thumbnails') {
    wanted = request.indexes;
  }
}

async function thumbnails() {
  const m = await instance();
  const made = [];
  try {
    while (made.length < THUMBNAILS_PER_TURN && wanted.length > 0) {
      const index = wanted[0];
      const picture = takePicture(m, m.krt_entry_picture(await readFile(m), entries[index].position, THUMBNAIL_PX));
      wanted.shift();
      made.push({index, picture});
    }
  } finally {
    postMessage({op: 'thumbnails', made}, made.flatMap(({picture}) => transfers(picture)));
  }
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
  while (requests.length > 0 || wanted.length > 0) {
    const request = requests.shift();
    try {
      await (request !== undefined ? handle(request) : thumbnails());
    } catch (error) {
      module = null;  // trapped: start afresh for the next request
      const message = error instanceof WebAssembly.RuntimeError
        ? `the decoder stopped, perhaps out of memory (${error.message})` : String(error.message || error);
      if (request === undefined) {
        // The thumbnail that stopped it fails alone; the rest are still made.
        postMessage({op: 'thumbnails', made: [{index: wanted.shift(), picture: {error: message}}]});
      } else {
        postMessage({op: request.op === 'entry' ? 'entry' : 'failed', index: request.index,
          picture: {error: message}, message});
      }
    }
    await nextTurn();
  }
  running = false;
}

onmessage = (event) => {
  compiled ??= event.data.module;
  requests.push(event.data);
  run();
};
