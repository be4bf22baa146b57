// The show's web page in Debian's Chromium, driven headless through puppeteer-core:
//   shaders   every scene of the engine is built, and every shader program links;
//   stills    rows of the main scene drawn in still mode match vantor-capture's PNGs of
//             the same rows at the same size;
//   play      the start button starts the music, the row follows the music's clock, and
//             Escape ends the show.
// With --bench SECONDS it only plays the show for that long and prints figures.
//
//   node test-web.mjs --url URL [--native DIR --rows R1,R2,...] [--out DIR] [--size WxH]
//                     [--gpu swiftshader|gl] [--bench SECONDS]
//
// Prints one line per check and exits 1 when any fails.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';
import { readPng, writePng, compareRgb } from './png.mjs';

// The tolerance for a still against the native capture, and why. The browser draws through
// ANGLE on SwiftShader, the native capture through Mesa's llvmpipe: both are IEEE float
// rasterisers, but they decide differently which pixels a sliver of a triangle covers (the
// bridge's cables, the pump jacks' rods, a pixel or less wide), round texture filtering and
// half-float targets differently, and the depth buffer is 24-bit in WebGL where the native
// driver picks its own. On the show's rows that gives a mean difference of 0.3 to 0.6 steps
// of 255 per channel, and more than 32 steps only on those slivers, about 0.1% of the
// pixels. What the page could get wrong (a pass that does not draw, a target that is not
// cleared, a shader that behaves differently in GLSL ES) moves whole regions by tens of
// steps, far past both limits.
const tolerance = {
  meanPerChannel: 1.5,  // mean absolute difference of each channel, in 8-bit steps
  bigStep: 32,          // a pixel whose channel differs by more than this ...
  bigShare: 0.005,      // ... may make up at most this share of the picture
};

function options(argv) {
  const o = { rows: [], size: '960x540', gpu: 'swiftshader', bench: 0 };
  for (let i = 2; i < argv.length; i += 2) {
    const [name, value] = [argv[i], argv[i + 1]];
    if (value === undefined) throw new Error(`${name} needs a value`);
    if (name === '--url') o.url = value;
    else if (name === '--native') o.native = value;
    else if (name === '--rows') o.rows = value.split(',');
    else if (name === '--out') o.out = value;
    else if (name === '--size') o.size = value;
    else if (name === '--gpu') o.gpu = value;
    else if (name === '--bench') o.bench = Number(value);
    else throw new Error(`unknown option ${name}`);
  }
  if (!o.url) throw new Error('--url is needed');
  return o;
}

// Chromium as this machine allows it: no sandbox for root, no network beyond localhost.
async function launch(gpu) {
  const args = ['--no-sandbox', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-quic', '--disable-extensions',
    '--autoplay-policy=no-user-gesture-required', '--window-size=1000,600'];
  if (gpu === 'swiftshader')
    args.push('--use-angle=swiftshader', '--enable-unsafe-swiftshader');
  else // OpenGL through the display's driver (llvmpipe under Xvfb), which Chromium blocks by default
    args.push('--use-gl=angle', '--use-angle=gl', '--ignore-gpu-blocklist');
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: gpu === 'swiftshader',
    args,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-chromium-')),
  });
}

// A page whose console is kept: WebGL errors and failed shader compiles fail the checks.
async function openPage(browser, url) {
  const page = await browser.newPage();
  page.vantorLog = [];
  page.on('console', (m) => page.vantorLog.push(m.text()));
  page.on('pageerror', (e) => page.vantorLog.push('page error: ' + e.message));
  await page.goto(url);
  return page;
}

function glErrors(page) {
  return page.vantorLog.filter((line) => /GL_INVALID|WebGL: INVALID|page error|ERROR: /.test(line));
}

async function waitTitle(page, prefix, seconds) {
  await page.waitForFunction((p) => document.title.startsWith(p) || document.title.startsWith('failed'),
    { timeout: seconds * 1000 }, prefix);
  return page.title();
}

let failures = 0;
function report(ok, line) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${line}`);
  if (!ok) failures++;
}

async function checkShaders(browser, o) {
  const page = await openPage(browser, `${o.url}?check=shaders&size=320x180`);
  const title = await waitTitle(page, 'done', 300);
  const result = await page.evaluate(() => window.vantorShaders || null);
  const errors = glErrors(page);
  report(title === 'done shaders' && result && result.failed.length === 0 && errors.length === 0,
    `shaders: ${result ? result.scenes : 0} scenes built, programs that did not link: ` +
    `${result && result.failed.length ? result.failed.join('; ') : 'none'}` +
    (errors.length ? `; GL errors: ${errors.slice(0, 3).join(' | ')}` : ''));
  await page.close();
}

async function stillPixels(page) {
  // In slices: one call with millions of arguments would overflow the stack.
  const base64 = await page.evaluate(() => {
    const rgba = window.vantorStill.rgba;
    let text = '';
    for (let i = 0; i < rgba.length; i += 0x8000)
      text += String.fromCharCode.apply(null, rgba.subarray(i, i + 0x8000));
    return btoa(text);
  });
  const size = await page.evaluate(() => [window.vantorStill.width, window.vantorStill.height]);
  return { width: size[0], height: size[1], rgba: Buffer.from(base64, 'base64') };
}

async function checkStills(browser, o) {
  for (const row of o.rows) {
    const page = await openPage(browser, `${o.url}?row=${row}&size=${o.size}`);
    const title = await waitTitle(page, 'done', 300);
    if (title !== `done ${row}`) {
      report(false, `still row ${row}: the page says "${title}"`);
      await page.close();
      continue;
    }
    const web = await stillPixels(page);
    if (o.out)
      writePng(path.join(o.out, `web_row_${row}.png`), web);
    const native = readPng(path.join(o.native, `row_${row}.png`));
    const d = compareRgb(web, native, tolerance.bigStep);
    const errors = glErrors(page);
    const ok = d.sameSize && Math.max(...d.mean) < tolerance.meanPerChannel && d.bigShare <= tolerance.bigShare &&
      errors.length === 0;
    report(ok, `still row ${row} ${web.width}x${web.height} against the native capture: mean difference ` +
      `${d.mean.map((m) => m.toFixed(3)).join(' ')} per channel (limit ${tolerance.meanPerChannel}), ` +
      `${(100 * d.bigShare).toFixed(3)}% of pixels off by more than ${tolerance.bigStep} ` +
      `(limit ${100 * tolerance.bigShare}%), largest ${d.largest}` +
      (errors.length ? `; GL errors: ${errors.slice(0, 3).join(' | ')}` : ''));
    await page.close();
  }
}

// Plays the show for seconds after a click on the start button, sampling what the page
// records of its frames: the row drawn and the music heard when that row was read.
async function play(browser, o, size, seconds) {
  const page = await openPage(browser, `${o.url}?size=${size}`);
  await page.waitForSelector('#start:not([hidden])', { timeout: 300000 });
  await page.click('#start');
  const samples = [];
  const started = Date.now();
  while (Date.now() - started < seconds * 1000) {
    await new Promise((resolve) => setTimeout(resolve, 200));
    samples.push(await page.evaluate(() => ({ ...vantorStats, now: performance.now() })));
  }
  // Escape ends the show: a tap, released long before the next (slow) frame, must count.
  await page.keyboard.press('Escape');
  const escaped = await page.waitForFunction(() => vantorStats.ended, { timeout: 30000 }).then(() => true, () => false);
  const errors = glErrors(page);
  await page.close();
  return { samples, errors, escaped };
}

async function checkPlay(browser, o) {
  const { samples, errors, escaped } = await play(browser, o, '480x270', 5);
  const playing = samples.filter((s) => s.heard > 0.2);
  const first = playing[0];
  const last = playing[playing.length - 1];
  const rowsPerSecond = 20;
  // The row is the smoothed output position, so it may lead or trail what was heard by a
  // little: a limit of one row (50 ms).
  const worst = Math.max(...playing.map((s) => Math.abs(s.row / rowsPerSecond - s.heard)));
  const advancing = playing.every((s, i) => i === 0 || s.row >= playing[i - 1].row);
  const ok = playing.length >= 5 && advancing && last.row - first.row > 2 * rowsPerSecond &&
    worst < 1 / rowsPerSecond && errors.length === 0 && !last.ended && escaped;
  report(ok, `play 5 s: row ${last ? last.row.toFixed(1) : '?'} at ${last ? last.heard.toFixed(2) : '?'} s of ` +
    `music, ${last ? last.frames : 0} frames; the row and the music heard when it was read differ by ` +
    `${worst.toFixed(4)} s at most (limit 0.05); rows ${advancing ? 'never' : 'DID'} go back; first frame ` +
    `shown ${last ? last.firstFrameMs.toFixed(0) : '?'} ms after the click; Escape ${escaped ? 'ended' : 'did NOT end'} it` +
    (errors.length ? `; GL errors: ${errors.slice(0, 3).join(' | ')}` : ''));
}

async function bench(browser, o) {
  const { samples } = await play(browser, o, o.size, o.bench);
  const settled = samples.filter((s) => s.now - samples[0].now > 2000);
  const a = settled[0];
  const b = settled[settled.length - 1];
  const fps = (b.frames - a.frames) / ((b.now - a.now) / 1000);
  console.log(`web ${o.size} (${o.gpu}): ${fps.toFixed(2)} frames/s over ${((b.now - a.now) / 1000).toFixed(1)} s; ` +
    `first frame shown ${b.firstFrameMs.toFixed(0)} ms after the click`);
}

const o = options(process.argv);
if (o.out)
  fs.mkdirSync(o.out, { recursive: true });
const browser = await launch(o.gpu);
try {
  if (o.bench > 0) {
    await bench(browser, o);
  } else {
    await checkShaders(browser, o);
    if (o.rows.length)
      await checkStills(browser, o);
    await checkPlay(browser, o);
  }
} catch (e) {
  report(false, `the test stopped: ${e.message}`);
} finally {
  await browser.close();
}
process.exit(failures ? 1 : 0);
