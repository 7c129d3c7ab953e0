// Compares a board a receiver put together (RGB bytes, rows from the top)
// with the program's own preview of it (a 24-bit bitmap file).
//   node compare_bmp.js BOARD.bmp RECEIVED.rgb
//   node compare_bmp.js BOARD.bmp OUT.rgb --write   (the preview as RGB bytes)
'use strict';
const fs = require('fs');

const [bmpFile, rgbFile, mode] = process.argv.slice(2);
const bmp = fs.readFileSync(bmpFile);
const offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18), height = bmp.readInt32LE(22);
const bits = bmp.readUInt16LE(28);
if (bits !== 24) { console.log(`${bmpFile}: ${bits} bits a pixel, not 24`); process.exit(1); }
const rows = Math.abs(height), stride = Math.ceil((width * 3) / 4) * 4;
if (mode === '--write') {
  const out = Buffer.alloc(width * rows * 3);
  for (let y = 0; y < rows; ++y) {
    const row = offset + (height > 0 ? rows - 1 - y : y) * stride;
    for (let x = 0; x < width; ++x)
      for (let c = 0; c < 3; ++c) out[(y * width + x) * 3 + c] = bmp[row + 3 * x + 2 - c];
  }
  fs.writeFileSync(rgbFile, out);
  process.exit(0);
}
const got = fs.readFileSync(rgbFile);
if (got.length < width * rows * 3) { console.log(`${rgbFile}: ${got.length} bytes, the board needs ${width * rows * 3}`); process.exit(1); }
let differ = 0, first = '';
for (let y = 0; y < rows; ++y) {
  const row = offset + (height > 0 ? rows - 1 - y : y) * stride;  // bottom-up unless the height is negative
  for (let x = 0; x < width; ++x) {
    const b = bmp[row + 3 * x], g = bmp[row + 3 * x + 1], r = bmp[row + 3 * x + 2];
    const i = (y * width + x) * 3;
    if (got[i] !== r || got[i + 1] !== g || got[i + 2] !== b) {
      if (!differ) first = `(${x}, ${y}) is ${got[i]},${got[i + 1]},${got[i + 2]}, the preview has ${r},${g},${b}`;
      differ += 1;
    }
  }
}
let lit = 0;
for (let i = 0; i < width * rows * 3; ++i) if (got[i]) { lit += 1; }
console.log(differ ? `${differ} pixels differ from the preview; first ${first}`
                   : `all ${width * rows} pixels equal the preview (${lit} lit channels)`);
process.exit(differ || !lit ? 1 : 0);
