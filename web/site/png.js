// PNG files of the pictures the page shows, written as krt writes them: 4-
// and 8-bit pictures indexed, their dot values kept and the colour table as
// the palette; 24-bit pictures as RGB. The browser's CompressionStream makes
// the zlib stream.
'use strict';

const CRC_TABLE = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

function crc32(bytes) {
  let c = 0xffffffff;
  for (let k = 0; k < bytes.length; k++) c = CRC_TABLE[(c ^ bytes[k]) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

// A chunk: length, type, data, and the CRC of type and data.
function pngChunk(type, data) {
  const chunk = new Uint8Array(12 + data.length);
  const view = new DataView(chunk.buffer);
  view.setUint32(0, data.length);
  for (let k = 0; k < 4; k++) chunk[4 + k] = type.charCodeAt(k);
  chunk.set(data, 8);
  view.setUint32(8 + data.length, crc32(chunk.subarray(4, 8 + data.length)));
  return chunk;
}

// The rows as the zlib stream holds them, each behind filter byte 0 (none).
function pngRows(picture) {
  const indexed = picture.depth !== 24;
  const rowBytes = indexed ? Math.ceil((picture.width * picture.depth) / 8) : 3 * picture.width;
  const rows = new Uint8Array((rowBytes + 1) * picture.height);
  for (let y = 0; y < picture.height; y++) {
    const at = y * (rowBytes + 1) + 1;
    if (indexed) {
      rows.set(picture.dots.subarray(y * rowBytes, (y + 1) * rowBytes), at);
    } else {
      for (let x = 0; x < picture.width; x++) {
        rows.set(picture.rgba.subarray(4 * (y * picture.width + x), 4 * (y * picture.width + x) + 3), at + 3 * x);
      }
    }
  }
  return rows;
}

// The PNG file of a whole picture, as a Blob.
async function encodePng(picture) {
  const indexed = picture.depth !== 24;
  const header = new Uint8Array(13);
  const view = new DataView(header.buffer);
  view.setUint32(0, picture.width);
  view.setUint32(4, picture.height);
  header[8] = indexed ? picture.depth : 8;
  header[9] = indexed ? 3 : 2;  // colour type: palette, or RGB
  const chunks = [pngChunk('IHDR', header)];
  if (indexed) {
    const count = picture.colours.length / 4;
    const palette = new Uint8Array(3 * count);
    for (let k = 0; k < count; k++) palette.set(picture.colours.subarray(4 * k, 4 * k + 3), 3 * k);
    chunks.push(pngChunk('PLTE', palette));
  }
  const stream = new Blob([pngRows(picture)]).stream().pipeThrough(new CompressionStream('deflate'));
  chunks.push(pngChunk('IDAT', new Uint8Array(await new Response(stream).arrayBuffer())));
  chunks.push(pngChunk('IEND', new Uint8Array(0)));
  const signature = new Uint8Array([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
  return new Blob([signature, ...chunks], {type: 'image/png'});
}

// The name krt gives the picture of a screen file or of a pack entry: the
// name without its extension, and .png.
const pngName = (name) => name.replace(/(.)\.[^.]*$/, '$1') + '.png';
