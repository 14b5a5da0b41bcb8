// Drives one web page of the suite in headless Chromium over the DevTools protocol (on a
// pipe, so no WebSocket module is needed) and writes what it saw for the tests to check.
//
//   node page_session.js SITE PAGE OUT STEP...
//
// SITE is served on 127.0.0.1 for the run; PAGE is the page with its query, e.g.
// "cutdemo3.html?input=20". OUT receives the results. Steps, in order:
//   line:TEXT   types TEXT and Enter into the console field, once the program waits for it
//   key:K       types the character K (or Escape, or an arrow: ArrowLeft …) on the page;
//               key:K*n types it n times;
//               key:K@CODE types K on the key that a US layout calls CODE (say KeyY)
//   idle        waits until the program has handled every key and waits for the next one
//   ended       waits until the program has ended
//   caption:T   waits until a caption of the last frame drawn holds the text T
//   shot:NAME   writes the 800 × 800 window as OUT/NAME.ppm
//   text:NAME   writes the program's standard output as OUT/NAME.txt, the console panel's
//               text without the typed answers as OUT/NAME.panel.txt, the title as
//               OUT/NAME.title.txt, the last frame's captions, a line each, as
//               OUT/NAME.captions.txt and the files written, a line each, as OUT/NAME.files.txt
//   file:PATH   writes the file PATH of the page's file system as OUT/ and its last name
//   viewport:WxH[@RATIO]  shows the page in a window of W × H CSS pixels (device pixel ratio
//               RATIO, 1 by default) and waits until the program has drawn at that size
//   click:CODE  clicks the page's button for the key CODE with the mouse, as a student would
//   screen:NAME writes the whole window as OUT/NAME.png, and where things lie as
//               OUT/NAME.layout.json: the viewport, the page's scroll size, the window's box,
//               the canvas's pixels, the caption band's bottom and the key buttons
// Every wait has a generous limit and fails the run with what the page was doing.
// Also: node page_session.js --png-to-ppm IN.png OUT.ppm
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const { spawn } = require('child_process');

const waitLimitMs = Number(process.env.PAGE_WAIT_LIMIT_MS || 90000);
// The browser window the pages open in, CSS pixels: the page fits the program's window to it
// at 800 × 800, as the desktop opens it, so that its pictures compare pixel for pixel.
const pageWidth = 1280, pageHeight = 824;

// ---- PNG to PPM: what Chromium and ImageMagick write (not interlaced; grey, RGB, palette,
// with or without alpha; palette and grey also below 8 bits) ----

function decodePng(data) {
  let pos = 8, width = 0, height = 0, depth = 8, colourType = 0, palette = null;
  const idat = [];
  while (pos < data.length) {
    const length = data.readUInt32BE(pos), type = data.toString('latin1', pos + 4, pos + 8);
    const body = data.subarray(pos + 8, pos + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0); height = body.readUInt32BE(4); depth = body[8]; colourType = body[9];
      if (body[12] !== 0 || (depth !== 8 && colourType !== 0 && colourType !== 3) || depth > 8)
        throw new Error(`unsupported PNG layout (depth ${depth}, colour type ${colourType}, interlace ${body[12]})`);
    } else if (type === 'PLTE') palette = body;
    else if (type === 'IDAT') idat.push(body);
    pos += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const channels = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 }[colourType];
  const bitsPerPixel = channels * depth, stride = Math.ceil(width * bitsPerPixel / 8);
  const step = Math.max(1, bitsPerPixel >> 3);  // the byte distance the filters look back
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; i++) {
      const a = i >= step ? line[i - step] : 0, b = previous[i], c = i >= step ? previous[i - step] : 0;
      let add = 0;
      if (filter === 1) add = a;
      else if (filter === 2) add = b;
      else if (filter === 3) add = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[i] = (line[i] + add) & 255;
    }
    for (let x = 0; x < width; x++) {
      const o = (y * width + x) * 3;
      if (depth < 8) {
        const bit = x * depth, value = (line[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
        if (colourType === 3) palette.copy(rgb, o, value * 3, value * 3 + 3);
        else rgb.fill(Math.round(value * 255 / ((1 << depth) - 1)), o, o + 3);
      } else if (colourType === 3) palette.copy(rgb, o, line[x] * 3, line[x] * 3 + 3);
      else if (channels <= 2) rgb.fill(line[x * channels], o, o + 3);
      else line.copy(rgb, o, x * channels, x * channels + 3);
    }
    previous = line;
  }
  return Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), rgb]);
}

// ---- The site on 127.0.0.1 ----

function serve(site) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
  const server = http.createServer((request, response) => {
    const file = path.join(site, path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- Chromium over the DevTools pipe ----

function startBrowser(profile) {
  const browser = spawn('chromium', [
    '--headless', '--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
    '--disable-quic', '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--disable-extensions', '--disable-features=Translate,MediaRouter',
    '--force-device-scale-factor=1', `--window-size=${pageWidth},${pageHeight + 200}`, '--remote-debugging-pipe',
    `--user-data-dir=${profile}`, 'about:blank'], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  let stderr = '';
  browser.stdio[2].on('data', (d) => { stderr = (stderr + d).slice(-4000); });
  let nextId = 1, buffered = '';
  const pending = new Map();
  const pageLog = [];
  browser.stdio[4].on('data', (chunk) => {
    buffered += chunk.toString('utf8');
    let end;
    while ((end = buffered.indexOf('\0')) >= 0) {
      const message = JSON.parse(buffered.slice(0, end));
      buffered = buffered.slice(end + 1);
      if (message.method === 'Runtime.exceptionThrown')
        pageLog.push(JSON.stringify(message.params.exceptionDetails).slice(0, 600));
      if (message.method === 'Runtime.consoleAPICalled')
        pageLog.push(message.params.type + ': ' + message.params.args.map((a) => a.value).join(' '));
      const waiter = pending.get(message.id);
      if (!waiter) continue;
      pending.delete(message.id);
      if (message.error) waiter.reject(new Error(waiter.method + ': ' + message.error.message));
      else waiter.resolve(message.result);
    }
  });
  browser.on('exit', (code) => {
    for (const waiter of pending.values()) waiter.reject(new Error(`chromium exited (${code}): ${stderr}`));
    pending.clear();
  });
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject, method });
    browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  });
  return { browser, send, pageLog };
}

// Attaches to the browser's page: a DevTools call in its session, an evaluation that gives
// the value or throws, and a wait that polls an expression until it holds. The limit is for
// a hung page, not for a slow machine; stuck(what) words the error.
async function attachPage(send, limitMs, stuck) {
  const { targetInfos } = await send('Target.getTargets');
  const target = targetInfos.find((t) => t.type === 'page');
  const { sessionId } = await send('Target.attachToTarget', { targetId: target.targetId, flatten: true });
  const call = (method, params) => send(method, params, sessionId);
  const evaluate = async (expression) => {
    const { result, exceptionDetails } = await call('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) throw new Error(expression + ': ' + JSON.stringify(exceptionDetails));
    return result.value;
  };
  const waitFor = async (what, expression) => {
    const deadline = Date.now() + limitMs;
    while (!(await evaluate(expression))) {
      if (Date.now() > deadline) throw new Error(await stuck(what));
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  };
  return { call, evaluate, waitFor };
}

async function main() {
  const args = process.argv.slice(2);
  if (args[0] === '--png-to-ppm') {
    fs.writeFileSync(args[2], decodePng(fs.readFileSync(args[1])));
    return;
  }
  const [site, page, out, ...steps] = args;
  fs.mkdirSync(out, { recursive: true });
  const server = await serve(path.resolve(site));
  const profile = fs.mkdtempSync(path.join(path.resolve(out), 'chromium-profile-'));
  const { browser, send, pageLog } = startBrowser(profile);
  try {
    const { call, evaluate, waitFor } = await attachPage(send, waitLimitMs, async (what) => {
      const state = await evaluate('JSON.stringify(window.gearplot && Object.assign({}, gearplot, {output: gearplot.output.slice(-300)}))');
      return `waiting for ${what}: the page is at ${state}\n${pageLog.join('\n')}`;
    });
    await call('Runtime.enable');
    await call('Page.enable');
    await call('Emulation.setDeviceMetricsOverride', { width: pageWidth, height: pageHeight, deviceScaleFactor: 1, mobile: false });
    await call('Page.navigate', { url: `http://127.0.0.1:${server.address().port}/${page}` });
    await waitFor('the program to start', "window.gearplot && gearplot.waitingFor != ''");
    let keysSent = 0;
    for (const step of steps) {
      const colon = step.indexOf(':');
      const verb = colon < 0 ? step : step.slice(0, colon), value = colon < 0 ? '' : step.slice(colon + 1);
      if (verb === 'line') {
        await waitFor('a console question', "gearplot.waitingFor == 'line'");
        await call('Runtime.evaluate', { expression: "document.getElementById('console-input').focus()" });
        if (value) await call('Input.insertText', { text: value });
        for (const type of ['keyDown', 'keyUp'])
          await call('Input.dispatchKeyEvent', { type, key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13, text: type === 'keyDown' ? '\r' : undefined });
      } else if (verb === 'key') {
        const [written, times] = value.split('*');
        const [key, code] = written.split('@');
        for (let i = 0; i < Number(times || 1); i++) {
          const namedKeys = { Escape: 27, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40 };
          const named = key in namedKeys;
          const upper = key.toUpperCase();
          const event = { key, code: code || (named ? key : /[a-z]/i.test(key) ? 'Key' + upper : ''),
                          windowsVirtualKeyCode: named ? namedKeys[key] : (code ? code.charCodeAt(3) : upper.charCodeAt(0)) };
          await call('Input.dispatchKeyEvent', Object.assign({ type: 'keyDown', text: named ? undefined : key }, event));
          await call('Input.dispatchKeyEvent', Object.assign({ type: 'keyUp' }, event));
          keysSent++;
        }
      } else if (verb === 'idle') {
        await waitFor(`all ${keysSent} keys handled`, `gearplot.waitingFor == 'key' && gearplot.keysHandled == ${keysSent}`);
      } else if (verb === 'caption') {
        await waitFor(`a caption with "${value}"`, `gearplot.captions.some((c) => c.includes(${JSON.stringify(value)}))`);
      } else if (verb === 'ended') {
        await waitFor('the end of the program', "gearplot.waitingFor == 'ended'");
      } else if (verb === 'shot') {
        // Two animation frames after the last one drawn, the canvas is on screen.
        await evaluate('new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => r(true))))');
        const box = await evaluate("(() => { const r = document.getElementById('window').getBoundingClientRect(); return [r.left, r.top]; })()");
        const { data } = await call('Page.captureScreenshot',
          { format: 'png', clip: { x: box[0], y: box[1], width: 800, height: 800, scale: 1 } });
        fs.writeFileSync(path.join(out, value + '.ppm'), decodePng(Buffer.from(data, 'base64')));
      } else if (verb === 'text') {
        fs.writeFileSync(path.join(out, value + '.txt'), await evaluate('gearplot.output'));
        fs.writeFileSync(path.join(out, value + '.panel.txt'), await evaluate(
          "(() => { const p = document.getElementById('console-output').cloneNode(true);" +
          " p.querySelectorAll('.typed').forEach((e) => e.remove()); return p.textContent; })()"));
        fs.writeFileSync(path.join(out, value + '.title.txt'), await evaluate('document.title'));
        fs.writeFileSync(path.join(out, value + '.captions.txt'), await evaluate("gearplot.captions.join('\\n')"));
        fs.writeFileSync(path.join(out, value + '.files.txt'), await evaluate("gearplot.files.join('\\n')"));
      } else if (verb === 'viewport') {
        const [size, ratio] = value.split('@');
        const [width, height] = size.split('x').map(Number);
        const scale = Number(ratio || 1);
        await call('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: scale, mobile: false });
        await waitFor(`a ${value} window`, `window.innerWidth == ${width} && window.innerHeight == ${height} && ` +
                      `Module.canvas.width == Math.round(document.getElementById('window').getBoundingClientRect().width * ${scale})`);
        await evaluate('new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => r(true))))');
        await waitFor('the frame at that size', "gearplot.waitingFor == 'key' || gearplot.waitingFor == 'line'");
      } else if (verb === 'click') {
        const centre = await evaluate(`(() => { const b = document.querySelector('button[data-key="${value}"]');
          if (!b) return null; const r = b.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()`);
        if (!centre) throw new Error(`no button for the key ${value}`);
        for (const type of ['mousePressed', 'mouseReleased'])
          await call('Input.dispatchMouseEvent', { type, x: centre[0], y: centre[1], button: 'left', clickCount: 1 });
        keysSent++;
      } else if (verb === 'screen') {
        await evaluate('new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => r(true))))');
        const { data } = await call('Page.captureScreenshot', { format: 'png' });
        fs.writeFileSync(path.join(out, value + '.png'), Buffer.from(data, 'base64'));
        fs.writeFileSync(path.join(out, value + '.layout.json'), JSON.stringify(await evaluate(`(() => {
          const box = (id) => { const e = document.getElementById(id); if (!e) return null;
            const r = e.getBoundingClientRect(); return { left: r.left, top: r.top, right: r.right, bottom: r.bottom }; };
          return { viewport: [window.innerWidth, window.innerHeight],
                   scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight],
                   window: box('window'), heading: box('heading'), keys: box('keys'),
                   canvas: [Module.canvas.width, Module.canvas.height],
                   buttons: Array.from(document.querySelectorAll('button.key')).map((b) => b.dataset.key),
                   console: getComputedStyle(document.getElementById('console')).display != 'none',
                   links: Array.from(document.querySelectorAll('a[download]')).map((a) => a.textContent) };
        })()`)));
      } else if (verb === 'file') {
        const bytes = await evaluate(`gearplot.readFile(${JSON.stringify(value)})`);
        fs.writeFileSync(path.join(out, path.basename(value)), Buffer.from(bytes));
      } else {
        throw new Error('unknown step ' + step);
      }
    }
  } finally {
    await closeSession(browser, send, server, profile);
  }
}

// Closes the browser and the server, and removes the browser's profile.
async function closeSession(browser, send, server, profile) {
  const exited = new Promise((resolve) => browser.exitCode !== null ? resolve() : browser.on('exit', resolve));
  await send('Browser.close').catch(() => browser.kill());
  await exited;
  server.close();
  // Its helper processes may still be writing for a moment: what is left goes with it.
  try { fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 }); } catch (e) {}
}

// The frame benchmark (scripts/web_frames.js) drives pages with the same server and browser.
module.exports = { serve, startBrowser, attachPage, closeSession };

if (require.main === module) {
  main().catch((error) => {
    console.error(error.message);
    process.exit(1);
  });
}
