// The page: files come in through the picker or by dropping them; the worker
// decodes them with the plug-ins; a screen's picture or a pack's grid of
// thumbnails is shown here.
'use strict';

const $ = (selector) => document.querySelector(selector);
const worker = new Worker('worker.js');

// How the plug-in draws a screen, by its rendering mode.
const MODES = [
  '16-colour dots, one palette',
  '16-colour dots, several palettes',
  '256-colour dots',
  '256-colour dots, several palettes',
];

const files = new Map();  // id -> {name, button, kind, picture | entries, thumbs, shownMs}
let nextId = 1;
let current = null;       // the file shown
let shown = null;         // {picture, title}: the picture on the canvas
function say(line) { $('#message').textContent = line; }

function openFiles(list) {
  const openedAt = performance.now();
  say('');
  let first = true;
  for (const file of list) {
    const id = nextId++;
    const entry = {name: file.name, kind: null, openedAt};
    entry.button = document.createElement('button');
    entry.button.type = 'button';
    entry.button.textContent = file.name;
    entry.button.addEventListener('click', () => show(id));
    $('#files').append(entry.button);
    files.set(id, entry);
    if (first) show(id);
    first = false;
    file.arrayBuffer().then(
      (bytes) => worker.postMessage({op: 'open', file: id, bytes}, [bytes]),
      (error) => failed(id, `cannot read it (${error.message})`));
  }
}

function failed(id, reason) {
  const file = files.get(id);
  file.kind = 'failed';
  file.button.classList.add('failed');
  say(`${file.name}: ${reason}`);
  if (current === id) show(id);
}

function show(id) {
  current = id;
  for (const [other, file] of files) file.button.classList.toggle('current', other === id);
  const file = files.get(id);
  $('#pack').hidden = file.kind !== 'pack';
  if (file.kind === 'pack') {
    $('#pack-title').textContent = packTitle(file);
    $('#grid').replaceChildren(...file.cells);
    if (file.shownMs === undefined) delete $('#grid').dataset.shownMs;
    else $('#grid').dataset.shownMs = String(file.shownMs);
  }
  if (file.kind === 'screen') showPicture(file.picture, file.name);
  else if (file.kind !== 'pack' || !shown || shown.file !== id) clearPicture();
}

function packTitle(file) {
  const count = file.entries.length;
  let title = `${file.name}: ${count} ${count === 1 ? 'screen' : 'screens'}`;
  if (file.shownMs !== undefined) title += `, thumbnails shown ${Math.round(file.shownMs)} ms after opening`;
  return title;
}

function clearPicture() {
  shown = null;
  $('#viewer').hidden = true;
  const canvas = $('#picture');
  canvas.width = 0;
  canvas.height = 0;
}

function drawInto(canvas, picture) {
  canvas.width = picture.rgbaWidth;
  canvas.height = picture.rgbaHeight;
  canvas.getContext('2d').putImageData(
    new ImageData(picture.rgba, picture.rgbaWidth, picture.rgbaHeight), 0, 0);
}

function showPicture(picture, title, file = current) {
  shown = {picture, title, file};
  drawInto($('#picture'), picture);
  const palettes = picture.paletteCount === 1 ? '1 palette' : `${picture.paletteCount} palettes`;
  const parts = [title, `${picture.width} × ${picture.height} dots`, `${picture.depth}-bit`];
  if (picture.mode >= 0) parts.push(MODES[picture.mode], palettes);
  $('#info').textContent = parts.join(' · ');
  const swatches = [];
  for (let k = 0; k < picture.colours.length / 4; k++) {
    const [r, g, b] = picture.colours.subarray(4 * k, 4 * k + 3);
    const hex = '#' + [r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('');
    const swatch = document.createElement('span');
    swatch.style.background = hex;
    swatch.title = `${k}: ${hex}`;
    swatches.push(swatch);
  }
  $('#swatches').replaceChildren(...swatches);
  $('#swatches').title = swatches.length ? `${swatches.length} colours` : 'no colour table (24-bit)';
  zoom();
  $('#viewer').hidden = false;
}

function zoom() {
  const factor = Number($('#zoom').value);
  $('#zoom-value').textContent = `${factor}×`;
  const canvas = $('#picture');
  canvas.style.width = `${canvas.width * factor}px`;
  canvas.style.height = `${canvas.height * factor}px`;
}

function packCells(id, file) {
  return file.entries.map((entry, index) => {
    const cell = document.createElement('figure');
    cell.className = 'entry';
    cell.dataset.name = entry.name;
    cell.title = `${entry.name}: ${entry.size} bytes at ${entry.position}`;
    const thumb = document.createElement('canvas');
    thumb.width = 0;
    thumb.height = 0;
    const caption = document.createElement('figcaption');
    caption.textContent = entry.name;
    cell.append(thumb, caption);
    cell.addEventListener('click', () => {
      for (const other of file.cells) other.classList.toggle('current', other === cell);
      worker.postMessage({op: 'entry', file: id, index, position: entry.position});
    });
    return cell;
  });
}

worker.onmessage = ({data}) => {
  const file = files.get(data.file);
  if (file === undefined) return;
  if (data.op === 'screen') {
    if (data.picture.error) return failed(data.file, data.picture.error);
    file.kind = 'screen';
    file.picture = data.picture;
    if (current === data.file) show(data.file);
  } else if (data.op === 'pack') {
    if (data.error) return failed(data.file, data.error);
    file.kind = 'pack';
    file.entries = data.entries;
    file.cells = packCells(data.file, file);
    if (file.entries.length === 0) file.shownMs = performance.now() - file.openedAt;
    if (current === data.file) show(data.file);
  } else if (data.op === 'thumbnails') {
    for (const {index, picture} of data.made) {
      const cell = file.cells[index];
      if (picture.error) {
        cell.classList.add('failed');
        cell.title = `${file.entries[index].name}: ${picture.error}`;
      } else {
        drawInto(cell.firstChild, picture);
      }
    }
    if (data.done) {
      // Shown once the browser has painted the last of them.
      requestAnimationFrame(() => {
        file.shownMs = performance.now() - file.openedAt;
        if (current === data.file) show(data.file);
      });
    }
  } else if (data.op === 'entry') {
    const name = file.entries[data.index].name;
    if (data.picture.error) return say(`${file.name}, ${name}: ${data.picture.error}`);
    if (current === data.file) showPicture(data.picture, `${file.name}, ${name}`, data.file);
  } else if (data.op === 'failed') {
    if (data.index !== undefined) return say(`${file.name}, ${file.entries[data.index].name}: ${data.message}`);
    failed(data.file, data.message);
  }
};
worker.onerror = (event) => say(`the decoder stopped: ${event.message}`);

$('#open').addEventListener('change', (event) => {
  openFiles([...event.target.files]);
  event.target.value = '';
});
$('#zoom').addEventListener('input', zoom);
$('#save').addEventListener('click', () => {
  if (!shown) return;
  const base = shown.title.replace(/\.[^.]*$/, '').replace(/[^A-Za-z0-9._-]+/g, '-');
  $('#picture').toBlob((blob) => {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = `${base}.png`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }, 'image/png');
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
