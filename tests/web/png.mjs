// 8-bit PNG reading (what vantor-capture writes: grey, RGB or RGBA, not interlaced) and RGB
// writing, with node's zlib alone; and the per-channel comparison of two pictures.
import fs from 'node:fs';
import zlib from 'node:zlib';

const channelsOf = { 0: 1, 2: 3, 4: 2, 6: 4 };

export function readPng(file) {
  const data = fs.readFileSync(file);
  if (data.readUInt32BE(0) !== 0x89504e47)
    throw new Error(`${file}: not a PNG file`);
  let at = 8;
  let header = null;
  const compressed = [];
  while (at + 8 <= data.length) {
    const length = data.readUInt32BE(at);
    const kind = data.toString('latin1', at + 4, at + 8);
    const body = data.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR')
      header = { width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colour: body[9], interlace: body[12] };
    else if (kind === 'IDAT')
      compressed.push(body);
    else if (kind === 'IEND')
      break;
    at += 12 + length;
  }
  if (!header || header.depth !== 8 || !(header.colour in channelsOf) || header.interlace)
    throw new Error(`${file}: only 8-bit grey, RGB or RGBA PNGs without interlacing are read`);
  const channels = channelsOf[header.colour];
  const raw = zlib.inflateSync(Buffer.concat(compressed));
  const stride = header.width * channels;
  if (raw.length < header.height * (stride + 1))
    throw new Error(`${file}: image data too short`);
  const pixels = Buffer.alloc(header.height * stride);
  for (let y = 0; y < header.height; y++) {
    const filter = raw[y * (stride + 1)];
    const row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = y * stride;
    for (let i = 0; i < stride; i++) {
      const left = i >= channels ? pixels[out + i - channels] : 0;
      const up = y > 0 ? pixels[out - stride + i] : 0;
      const corner = y > 0 && i >= channels ? pixels[out - stride + i - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = left;
      else if (filter === 2) predicted = up;
      else if (filter === 3) predicted = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - corner;
        const pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - corner);
        predicted = pa <= pb && pa <= pc ? left : pb <= pc ? up : corner;
      } else if (filter !== 0)
        throw new Error(`${file}: unknown filter type ${filter}`);
      pixels[out + i] = (row[i] + predicted) & 255;
    }
  }
  return { width: header.width, height: header.height, channels, pixels };
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++)
    c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes)
    c = crcTable[(c ^ b) & 255] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function chunk(kind, body) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(body.length);
  const typed = Buffer.concat([Buffer.from(kind, 'latin1'), body]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(typed));
  return Buffer.concat([length, typed, crc]);
}

// An RGBA picture (top row first) as an RGB PNG, as vantor-capture writes its rows.
export function writePng(file, { width, height, rgba }) {
  const raw = Buffer.alloc(height * (width * 3 + 1));
  for (let y = 0; y < height; y++)
    for (let x = 0; x < width; x++)
      for (let c = 0; c < 3; c++)
        raw[y * (width * 3 + 1) + 1 + x * 3 + c] = rgba[(y * width + x) * 4 + c];
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = 8;
  header[9] = 2;
  fs.writeFileSync(file, Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', header),
    chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]));
}

// An RGBA picture against a PNG read by readPng (RGB or RGBA), red, green and blue only:
// the mean absolute difference of each, the largest, and the share of pixels where any of
// them differs by more than bigStep.
export function compareRgb(web, png, bigStep) {
  if (web.width !== png.width || web.height !== png.height || png.channels < 3)
    return { sameSize: false, mean: [255, 255, 255], largest: 255, bigShare: 1 };
  const sums = [0, 0, 0];
  let largest = 0;
  let big = 0;
  const count = web.width * web.height;
  for (let i = 0; i < count; i++) {
    let pixelWorst = 0;
    for (let c = 0; c < 3; c++) {
      const d = Math.abs(web.rgba[i * 4 + c] - png.pixels[i * png.channels + c]);
      sums[c] += d;
      if (d > pixelWorst) pixelWorst = d;
    }
    if (pixelWorst > largest) largest = pixelWorst;
    if (pixelWorst > bigStep) big++;
  }
  return { sameSize: true, mean: sums.map((s) => s / count), largest, bigShare: big / count };
}
