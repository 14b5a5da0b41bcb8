// The browser's frame benchmark: each scene of the desktop frame benchmark driven with keys
// in its page in headless Chromium, then frames timed in the page itself, from the key event
// to the end of the frame with WebGL finished. Not a test: it reports and fails on no figure.
//
//   node scripts/web_frames.js SITE SCENES-FILE [FRAMES] [NAME-PART]
//
// SCENES-FILE holds `frame_benchmark --scenes`: name program z mode step zoom-ins, a line each.
'use strict';
const fs = require('fs');
const path = require('path');
const os = require('os');
const { serve, startBrowser, attachPage, closeSession } = require('../tests/web/page_session.js');

const waitLimitMs = 120000;
const stepsPastEveryEnd = 700;  // past the last step of every table: a mode then stays at its end
const atItsEnd = 1000000;        // the desktop scenes' step of a mode shown at its end

// Presses key n times inside the page, each drawing its frame before the next is typed.
function typeExpression(key, n) {
  return `(() => { for (let i = 0; i < ${n}; i++) document.dispatchEvent(new KeyboardEvent('keydown', ` +
         `{ key: ${JSON.stringify(key)}, bubbles: true, cancelable: true })); return gearplot.frames; })()`;
}

// One frame timed in the page: the key event, the frame it draws, and WebGL finished (a
// pixel read back waits for every command before it). Milliseconds, and the frames drawn.
const timedFrame = `(() => {
  const frames = gearplot.frames, gl = Module.ctx, pixel = new Uint8Array(4);
  const start = performance.now();
  document.dispatchEvent(new KeyboardEvent('keydown', { key: 's', bubbles: true, cancelable: true }));
  gl.finish();
  gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
  return [performance.now() - start, gearplot.frames - frames];
})()`;

async function timeScene(page, port, scene, frames) {
  const { call, evaluate } = page;
  const waitFor = (what, expression) => page.waitFor(`${scene.name}: waiting for ${what}`, expression);
  const query = scene.program === 'unwinddemo' ? '' : `?input=${scene.z},0`;
  await call('Page.navigate', { url: `http://127.0.0.1:${port}/${scene.program}.html${query}` });
  await waitFor('the window', "window.gearplot && gearplot.frames > 0 && gearplot.waitingFor == 'key'");
  // As the desktop scene sets it: the zoom, the mode from its first step, then its steps.
  await evaluate(typeExpression('W', scene.zoomIns));
  await evaluate(typeExpression(scene.mode, 1));
  // A mode shown at its end needs only as many steps as its longest table; the rolling
  // modes have no end, and are stepped as far as the scene says.
  const steps = scene.step >= atItsEnd ? stepsPastEveryEnd : scene.step;
  for (let done = 1; done < steps; done += 100) await evaluate(typeExpression('s', Math.min(100, steps - done)));
  for (let i = 0; i < 2; i++) await evaluate(timedFrame);  // warm-up, as on the desktop
  const ms = [];
  for (let i = 0; i < frames; i++) {
    const [time, drawn] = await evaluate(timedFrame);
    if (drawn !== 1) throw new Error(`${scene.name}: a key drew ${drawn} frames, not one`);
    ms.push(time);
  }
  ms.sort((a, b) => a - b);
  return { median: ms[Math.floor(ms.length / 2)], worst: ms[ms.length - 1], count: ms.length };
}

async function main() {
  const [site, scenesFile, framesArg, only] = process.argv.slice(2);
  const frames = Number(framesArg || 30);
  const scenes = fs.readFileSync(scenesFile, 'utf8').trim().split('\n').map((line) => {
    const [name, program, z, mode, step, zoomIns] = line.split(' ');
    return { name, program, z: Number(z), mode, step: Number(step), zoomIns: Number(zoomIns) };
  }).filter((s) => !only || s.name.includes(only));
  const server = await serve(path.resolve(site));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'web-frames-'));
  const { browser, send } = startBrowser(profile);
  try {
    const page = await attachPage(send, waitLimitMs, async (what) => what);
    await page.call('Runtime.enable', {});
    await page.call('Page.enable', {});
    // The window at 800 × 800 pixels, as the desktop benchmark draws it.
    await page.call('Emulation.setDeviceMetricsOverride', { width: 1280, height: 824, deviceScaleFactor: 1, mobile: false });
    console.log('scene                              median ms  worst ms  frames');
    for (const scene of scenes) {
      const r = await timeScene(page, server.address().port, scene, frames);
      console.log(`${scene.name.padEnd(34)} ${r.median.toFixed(1).padStart(9)} ${r.worst.toFixed(1).padStart(9)} ${String(r.count).padStart(7)}`);
    }
  } finally {
    await closeSession(browser, send, server, profile);
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
