// The page: files come in through the picker or by dropping them; each gets
// a worker of its own that decodes it with the plug-ins (closing the file
// ends the worker, and its memory goes with it); a screen's picture or a
// pack's grid of thumbnails is shown here.
'use strict';

const $ = (selector) => document.querySelector(selector);

// How the plug-in draws a screen, by its rendering mode.
const MODES = [
  '16-colour dots, one palette',
  '16-colour dots, several palettes',
  '256-colour dots',
  '256-colour dots, several palettes',
];
const ZOOMS = [0.125, 0.25, 0.5, 1, 2, 3, 4, 6, 8, 12, 16];

// The module, compiled once for every file's worker.
const compiled = fetch('krt.wasm').then((r) => {
  if (!r.ok) throw new Error(`krt.wasm: ${r.status} ${r.statusText}`);
  return r.arrayBuffer();
}).then((bytes) => WebAssembly.compile(bytes));

const files = new Map();  // id -> {name, size, el, worker, kind, picture | entries, cells, selected}
let nextId = 1;
let current = null;       // the file shown
let shown = null;         // {picture, name, label}: the picture on the canvas
let zoomLevel = 'fit';    // 'fit' or one of ZOOMS
const restore = new URLSearchParams(location.hash.slice(1));  // what the address asked for

// Messages, each about one file or entry; a user's move to something that
// works takes them off.
const messages = new Map();
function say(key, line) {
  if (line === null) messages.delete(key);
  else messages.set(key, line);
  $('#message').replaceChildren(...[...messages.values()].map((text) => {
    const p = document.createElement('p');
    p.textContent = text;
    return p;
  }));
}
const clearMessages = () => { messages.clear(); say('', null); };
// The plug-ins' words, without the numbers behind them.
const inWords = (reason) => reason.replace(/\s*\(result code -?\d+\)/g, '');

const numbers = new Intl.NumberFormat('en');
const number = (n) => numbers.format(n);
const bytes = (n) => (n < 1e6 ? `${Math.ceil(n / 1e3)} KB` : `${(n / 1e6).toFixed(1)} MB`);

function openFiles(list) {
  clearMessages();
  const openedAt = performance.now();
  list.forEach((source, k) => {
    const id = nextId++;
    const file = {id, name: source.name, size: source.size, kind: null, openedAt, read: 0};
    file.el = document.createElement('div');
    file.el.className = 'file';
    file.el.dataset.name = source.name;
    const name = document.createElement('button');
    name.type = 'button';
    name.className = 'name';
    name.textContent = source.name;
    name.title = source.name;
    name.addEventListener('click', () => show(id, true));
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.textContent = '×';
    close.setAttribute('aria-label', `Close ${source.name}`);
    close.addEventListener('click', () => closeFile(id));
    file.el.append(name, close);
    $('#files').append(file.el);
    file.worker = new Worker('worker.js');
    file.worker.onmessage = ({data}) => heard(file, data);
    file.worker.onerror = (event) => failed(file, `the decoder stopped: ${event.message || 'it could not start'}`);
    compiled.then((module) => file.worker.postMessage({op: 'open', file: source, module}),
      (error) => failed(file, `the decoder could not be loaded (${error.message})`));
    files.set(id, file);
    if (k === 0) show(id);
  });
}

async function closeFile(id) {
  const file = files.get(id);
  file.worker.terminate();
  file.observer?.disconnect();
  file.blockObserver?.disconnect();
  file.el.remove();
  files.delete(id);
  for (const key of [...messages.keys()]) if (key.split('/')[0] === String(id)) say(key, null);
  const wasShown = current === id;
  if (wasShown) current = null;
  const emptied = emptyGrid(file, wasShown);
  if (wasShown) {
    await emptied;
    if (current !== null) return;  // something else was opened meanwhile
    const next = [...files.keys()].pop();
    if (next !== undefined) show(next);
    else showNothing();
  }
}

// A pack's entries leave the grid (hidden or not) a slice of time at a
// time: taking thousands of buttons out of the page at once holds it up for a
// long while. The first block goes last; another pack shown meanwhile takes
// the grid over.
async function emptyGrid(file, wasShown) {
  const grid = $('#grid');
  if (!file.blocks || grid.firstChild !== file.blocks[0]) return;
  if (wasShown) $('#pack-title').textContent = `Closing ${file.name}`;
  while (grid.firstChild === file.blocks[0]) {
    const until = performance.now() + SLICE_MS;
    while (grid.firstChild === file.blocks[0] && performance.now() < until) {
      const block = grid.lastChild;
      (block.lastChild ?? block).remove();
    }
    await nextSlice();
  }
}

function failed(file, reason) {
  file.kind = 'failed';
  file.reason = inWords(reason);
  file.el.classList.add('failed');
  file.worker.terminate();
  say(String(file.id), `${file.name}: ${file.reason}`);
  if (current === file.id) show(file.id);
}

function showNothing() {
  clearPicture();
  $('#pack').hidden = true;
  $('#progress').hidden = true;
  remember();
}

// Shows the file `id`; byUser when the user chose it, so that messages
// about other things go if it works.
function show(id, byUser = false) {
  current = id;
  for (const [other, file] of files) file.el.classList.toggle('current', other === id);
  const file = files.get(id);
  if (byUser && file.kind !== 'failed') clearMessages();
  if (file.kind === 'failed') say(String(id), `${file.name}: ${file.reason}`);
  $('#progress').hidden = file.kind !== null;
  if (file.kind === null) $('#progress').textContent = `Reading ${file.name}: ${bytes(file.read)} of ${bytes(file.size)}`;
  $('#pack').hidden = file.kind !== 'pack';
  if (file.kind === 'pack') {
    $('#pack-title').textContent = packTitle(file);
    $('#pack-note').textContent = file.note ?? '';
    if ($('#grid').firstChild !== file.blocks[0]) $('#grid').replaceChildren(...file.blocks);
    if (file.shownMs === undefined) delete $('#grid').dataset.shownMs;
    else $('#grid').dataset.shownMs = String(file.shownMs);
    if (file.selected === undefined || file.selectedPicture === undefined) clearPicture();
    else showPicture(file.selectedPicture, file.entries[file.selected].name, `${file.name}, ${file.entries[file.selected].name}`);
  } else if (file.kind === 'screen') {
    showPicture(file.picture, file.name, file.name);
  } else {
    clearPicture();
  }
  remember();
}

function packTitle(file) {
  const count = file.cells.length;
  const screens = `${number(count)} ${count === 1 ? 'screen' : 'screens'}`;
  return `${file.name}: ${file.listed ? screens : `${screens} listed so far`}`;
}

function clearPicture() {
  shown = null;
  $('#viewer').hidden = true;
  $('#info').textContent = '';
  const canvas = $('#picture');
  canvas.width = 0;
  canvas.height = 0;
  canvas.setAttribute('aria-label', 'no picture');
}

function drawInto(canvas, picture) {
  canvas.width = picture.rgbaWidth;
  canvas.height = picture.rgbaHeight;
  canvas.getContext('2d').putImageData(new ImageData(picture.rgba, picture.rgbaWidth, picture.rgbaHeight), 0, 0);
}

function showPicture(picture, name, label) {
  shown = {picture, name, label};
  drawInto($('#picture'), picture);
  const palettes = picture.paletteCount === 1 ? '1 palette' : `${picture.paletteCount} palettes`;
  const parts = [label, `${picture.width} × ${picture.height} dots`, `${picture.depth}-bit`];
  if (picture.mode >= 0) parts.push(MODES[picture.mode], palettes);
  $('#info').textContent = parts.join(' · ');
  $('#picture').setAttribute('aria-label', `Picture of ${label}, ${picture.width} by ${picture.height} dots`);
  showSwatches(picture);
  $('#viewer').hidden = false;
  zoom();
}

// The colour table, a palette to a group of rows of 16.
function showSwatches(picture) {
  const table = picture.table.length ? picture.table : picture.colours;
  const perPalette = picture.mode === 0 || picture.mode === 1 ? 16 : 256;
  const groups = [];
  for (let first = 0; first < table.length / 4; first += perPalette) {
    const group = document.createElement('div');
    group.className = 'palette';
    group.setAttribute('role', 'group');
    group.setAttribute('aria-label', `Palette ${first / perPalette}`);
    for (let k = first; k < Math.min(first + perPalette, table.length / 4); k++) {
      const [r, g, b] = table.subarray(4 * k, 4 * k + 3);
      const hex = '#' + [r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('');
      const swatch = document.createElement('button');
      swatch.type = 'button';
      swatch.className = 'swatch';
      swatch.tabIndex = k === 0 ? 0 : -1;
      swatch.style.background = hex;
      swatch.title = `colour ${k}: ${hex}`;
      swatch.setAttribute('aria-label', swatch.title);
      group.append(swatch);
    }
    groups.push(group);
  }
  $('#swatches').replaceChildren(...groups);
  const count = table.length / 4;
  $('#colours-title').textContent = count ? `Colour table: ${count} colours` : 'No colour table';
  $('#swatch-value').textContent = '';
}

// Zoom: the whole picture in the viewer, or a step of ZOOMS; the browser
// draws it nearest dot.
function fitFactor() {
  const canvas = $('#picture');
  const box = $('.picture-box');
  const factor = Math.min(box.clientWidth / canvas.width, box.clientHeight / canvas.height);
  return factor >= 1 ? Math.floor(factor) : factor;
}

function zoom() {
  const canvas = $('#picture');
  if (!canvas.width) return;
  const factor = zoomLevel === 'fit' ? fitFactor() : zoomLevel;
  const percent = `${Math.round(factor * 100)}%`;
  $('#zoom-value').textContent = zoomLevel === 'fit' ? `Fit (${percent})` : percent;
  canvas.style.width = `${canvas.width * factor}px`;
  canvas.style.height = `${canvas.height * factor}px`;
  remember();
}

function zoomStep(direction) {
  const now = zoomLevel === 'fit' ? fitFactor() : zoomLevel;
  const next = direction > 0 ? ZOOMS.find((z) => z > now + 1e-9) : ZOOMS.findLast((z) => z < now - 1e-9);
  if (next !== undefined) zoomLevel = next;
  zoom();
}

// The selected file, entry and zoom in the address, so that a reload or a
// link says what was shown.
function remember() {
  const state = new URLSearchParams();
  const file = files.get(current);
  if (file) state.set('file', file.name);
  if (file?.selected !== undefined && file.entries) state.set('entry', file.entries[file.selected].name);
  if (zoomLevel !== 'fit') state.set('zoom', String(zoomLevel));
  const hash = state.toString();
  if (hash !== location.hash.slice(1)) history.replaceState(null, '', hash ? `#${hash}` : location.pathname);
}

function selectEntry(file, index, byUser = false) {
  for (const [cell, here] of [[file.cells[file.selected ?? 0], false], [file.cells[index], true]]) {
    cell.classList.toggle('current', here);
    cell.tabIndex = here ? 0 : -1;
  }
  file.selected = index;
  file.selectedPicture = undefined;
  if (byUser) clearMessages();
  clearPicture();
  file.worker.postMessage({op: 'entry', index});
  remember();
}

// An entry's button; clicks on it are heard by the grid.
function packCell(file, entry, index) {
  const cell = document.createElement('button');
  cell.type = 'button';
  cell.className = 'entry';
  cell.tabIndex = index === 0 ? 0 : -1;
  cell.dataset.name = entry.name;
  cell.dataset.index = String(index);
  cell.title = `${entry.name}: ${number(entry.size)} bytes at ${number(entry.position)}`;
  const thumb = document.createElement('canvas');
  thumb.width = 0;
  thumb.height = 0;
  thumb.setAttribute('aria-hidden', 'true');
  const caption = document.createElement('span');
  caption.textContent = entry.name;
  cell.append(thumb, caption);
  return cell;
}

// Entries go in blocks of ENTRIES_PER_BLOCK, and the browser lays out and
// paints only the blocks in view: a grid of thousands of entries would
// otherwise take it hundreds of milliseconds a frame. 120 fills whole rows
// for 1 to 6, 8, 10 or 12 entries a row.
const ENTRIES_PER_BLOCK = 120;
function addCell(file) {
  const index = file.cells.length;
  if (index % ENTRIES_PER_BLOCK === 0) {
    const block = document.createElement('div');
    block.className = 'block';
    file.blocks.push(block);
    file.blockObserver.observe(block);
    if ($('#grid').firstChild === file.blocks[0]) $('#grid').append(block);
  }
  const block = file.blocks[file.blocks.length - 1];
  const cell = packCell(file, file.entries[index], index);
  file.cells.push(cell);
  block.append(cell);
  if (file.watched.has(block)) file.observer.observe(cell);
}

// A pack's entries become buttons a slice of time at a time, so that the page
// answers between slices while thousands of them are listed.
const SLICE_MS = 10;
const nextSlice = () =>
  (globalThis.scheduler?.yield ? scheduler.yield() : new Promise((resolve) => setTimeout(resolve)));
async function listEntries(file) {
  if (file.listing) return;
  file.listing = true;
  while (file.cells.length < file.entries.length && files.has(file.id)) {
    const until = performance.now() + SLICE_MS;
    do addCell(file);
    while (file.cells.length < file.entries.length && performance.now() < until);
    if (current === file.id) {
      if ($('#grid').firstChild === file.blocks[0]) $('#pack-title').textContent = packTitle(file);
      else show(file.id);
    }
    await nextSlice();
  }
  file.listing = false;
  if (file.readableEnd !== undefined && file.cells.length === file.entries.length && files.has(file.id)) listed(file);
}

// Every entry listed: the note on the pack's end, and the entry the address
// asked for.
function listed(file) {
  file.listed = true;
  file.note = packNote(file, file.readableEnd);
  const wanted = restore.get('file') === file.name ? restore.get('entry') : null;
  const index = file.entries.findIndex((e) => e.name === wanted);
  if (index >= 0) {
    restore.delete('entry');
    selectEntry(file, index);
  }
  if (current === file.id) show(file.id);
  askThumbnails(file);
}

// Thumbnails are made for the entries in view only, and asked for again as
// the view moves. Only the entries of blocks near the view are watched.
function watchThumbnails(file) {
  file.inView = new Set();
  file.watched = new Set();
  file.blockObserver = new IntersectionObserver((changes) => {
    for (const {target, isIntersecting} of changes) {
      if (isIntersecting === file.watched.has(target)) continue;
      for (const cell of target.children) {
        if (isIntersecting) file.observer.observe(cell);
        else file.observer.unobserve(cell);
        if (!isIntersecting) file.inView.delete(Number(cell.dataset.index));
      }
      if (isIntersecting) file.watched.add(target);
      else file.watched.delete(target);
    }
    askThumbnails(file);
  }, {root: $('#grid'), rootMargin: '200px'});
  file.observer = new IntersectionObserver((changes) => {
    for (const change of changes) {
      const index = Number(change.target.dataset.index);
      if (change.isIntersecting) file.inView.add(index);
      else file.inView.delete(index);
    }
    askThumbnails(file);
  }, {root: $('#grid'), rootMargin: '200px'});
}

function askThumbnails(file) {
  const indexes = [...file.inView].filter((k) => !file.made.has(k)).sort((a, b) => a - b);
  file.worker.postMessage({op: 'thumbnails', indexes});
  if (indexes.length === 0 && file.listed && file.shownMs === undefined && file.inView.size > 0) {
    // Shown once the browser has painted them.
    requestAnimationFrame(() => {
      file.shownMs = performance.now() - file.openedAt;
      if (current === file.id) $('#grid').dataset.shownMs = String(file.shownMs);
    });
  }
}

// Where a pack's readable part ends, when something follows its last entry.
function packNote(file, end) {
  if (end === null) return '';
  const size = number(file.size);
  if (file.entries.length === 0) return `No screen could be read from its ${size} bytes.`;
  return `Readable up to byte ${number(end)} of ${size}: ` +
    `the last ${number(file.size - end)} bytes hold no whole screen.`;
}

function heard(file, data) {
  if (!files.has(file.id)) return;
  const here = current === file.id;
  if (data.op === 'progress') {
    file.read = data.read;
    if (here && file.kind === null) show(file.id);
  } else if (data.op === 'failed') {
    failed(file, data.message);
  } else if (data.op === 'screen') {
    if (data.picture.error) return failed(file, data.picture.error);
    file.kind = 'screen';
    file.picture = data.picture;
    file.worker.terminate();  // the picture is all the page keeps of a screen file
    if (here) show(file.id);
  } else if (data.op === 'entries') {
    if (file.kind === null) {
      file.kind = 'pack';
      file.entries = [];
      file.cells = [];
      file.blocks = [];
      file.made = new Set();
      watchThumbnails(file);
    }
    for (const entry of data.entries) file.entries.push(entry);
    if (data.done) file.readableEnd = data.readableEnd;
    listEntries(file);
  } else if (data.op === 'thumbnails') {
    for (const {index, picture} of data.made) {
      file.made.add(index);
      const cell = file.cells[index];
      if (picture.error) {
        cell.classList.add('failed');
        cell.title = `${file.entries[index].name}: ${inWords(picture.error)}`;
      } else {
        drawInto(cell.firstChild, picture);
      }
    }
    askThumbnails(file);
  } else if (data.op === 'entry') {
    if (data.index !== file.selected) return;
    const name = file.entries[data.index].name;
    const key = `${file.id}/${data.index}`;
    if (data.picture.error) {
      file.cells[data.index].classList.add('failed');
      if (here) clearPicture();
      return say(key, `${file.name}, ${name}: ${inWords(data.picture.error)}`);
    }
    file.selectedPicture = data.picture;
    if (here) show(file.id);
  }
}

// Arrow keys, Page Up and Down, Home and End move among a grid's buttons;
// the one moved to is focused and, for entries, shown.
function gridKeys(container, itemSelector, moved) {
  container.addEventListener('keydown', (event) => {
    const items = [...container.querySelectorAll(itemSelector)];
    const at = items.indexOf(document.activeElement);
    if (at < 0) return;
    const first = items[0].getBoundingClientRect();
    const inFirstRow = items.findIndex((item) => item.getBoundingClientRect().top > first.top + 1);
    const across = inFirstRow < 0 ? items.length : Math.max(1, inFirstRow);
    const page = across * Math.max(1, Math.floor(container.clientHeight / Math.max(1, first.height)));
    const steps = {ArrowRight: 1, ArrowLeft: -1, ArrowDown: across, ArrowUp: -across,
      PageDown: page, PageUp: -page, Home: -items.length, End: items.length};
    if (!(event.key in steps)) return;
    event.preventDefault();
    const next = items[Math.min(items.length - 1, Math.max(0, at + steps[event.key]))];
    items[at].tabIndex = -1;
    next.tabIndex = 0;
    next.focus();
    moved?.(next);
  });
}

function start() {
  if (location.protocol === 'file:') {
    say('file', 'This page must be served, not opened as a file: browsers do not start its decoder from a ' +
      'file:// address. Run tools/serve-web in the repository and open the address it prints, or put this ' +
      'folder on any web host.');
    $('#open').disabled = true;
    return;
  }
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('offline.js').catch((error) => console.warn('no offline copy:', error.message));
    // A new build took over from the one this page came from: the page
    // loads it at once when nothing is open, and otherwise says so.
    const before = navigator.serviceWorker.controller;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (!before) return;
      if (files.size === 0) location.reload();
      else say('update', 'A new version of this page is ready: it is used when the page is loaded again.');
    });
  }
  if (restore.has('zoom') && ZOOMS.includes(Number(restore.get('zoom')))) zoomLevel = Number(restore.get('zoom'));
  if (restore.has('file')) {
    const entry = restore.has('entry') ? `, entry ${restore.get('entry')}` : '';
    say('reload', `${restore.get('file')}${entry} was shown before this page was loaded again; files stay ` +
      'in the browser only while the page is open, so open it again to see it.');
  }
  $('#open').addEventListener('change', (event) => {
    openFiles([...event.target.files]);
    event.target.value = '';
  });
  $('#zoom-in').addEventListener('click', () => zoomStep(1));
  $('#zoom-out').addEventListener('click', () => zoomStep(-1));
  $('#zoom-fit').addEventListener('click', () => { zoomLevel = 'fit'; zoom(); });
  $('.picture-box').addEventListener('wheel', (event) => {
    if (!event.ctrlKey) return;
    event.preventDefault();
    zoomStep(-Math.sign(event.deltaY));
  }, {passive: false});
  document.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey || !shown || event.target.matches('input')) return;
    const action = {'+': () => zoomStep(1), '=': () => zoomStep(1), '-': () => zoomStep(-1),
      '0': () => { zoomLevel = 'fit'; zoom(); }}[event.key];
    if (action) {
      event.preventDefault();
      action();
    }
  });
  new ResizeObserver(() => { if (zoomLevel === 'fit') zoom(); }).observe($('.picture-box'));
  gridKeys($('#grid'), '.entry', (cell) => selectEntry(files.get(current), Number(cell.dataset.index), true));
  $('#grid').addEventListener('click', (event) => {
    const cell = event.target.closest('.entry');
    if (cell) selectEntry(files.get(current), Number(cell.dataset.index), true);
  });
  gridKeys($('#swatches'), '.swatch');
  const swatchValue = (event) => {
    if (event.target.matches('.swatch')) $('#swatch-value').textContent = event.target.title;
  };
  $('#swatches').addEventListener('focusin', swatchValue);
  $('#swatches').addEventListener('mouseover', swatchValue);
  $('#save').addEventListener('click', async () => {
    if (!shown) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(await encodePng(shown.picture));
    link.download = pngName(shown.name);
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    if (event.dataTransfer.files.length > 0) openFiles([...event.dataTransfer.files]);
  });
}

start();
