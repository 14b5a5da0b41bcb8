// The page side of the toolkit's web layer: the console panel that stands for standard
// input and output, the keys typed on the page or pressed as its buttons, the window fitted
// to the screen, the captions over the canvas, the title and the files the program writes,
// offered for download. Tests and lessons read window.gearplot: the frame count, what the
// program waits for, the text it has printed, the last frame's captions and the files written.
mergeInto(LibraryManager.library, {
  $GearplotPage__deps: ['$Asyncify', '$FS'],
  $GearplotPage__postset: 'GearplotPage.attach();',
  $GearplotPage: {
    // CSS fonts for freeglut's bitmap fonts, in the order web_gl.cpp numbers them.
    fonts: [[15, 'monospace'], [13, 'monospace'], [10, '"Times New Roman", serif'],
            [24, '"Times New Roman", serif'], [10, 'Helvetica, Arial, sans-serif'],
            [12, 'Helvetica, Arial, sans-serif'], [18, 'Helvetica, Arial, sans-serif'],
            [16, 'Unifont, monospace']],  // and the Unicode captions' (web_unicode_text.cpp)
    pendingInput: [],     // bytes typed into the console field, not yet read
    addressAnswers: [],   // lines from ?input=, given one at a time as the program reads on
    inputWaiter: null,    // wakes a read that waits for the field
    keys: [],             // character codes typed on the page, not yet handled
    keyWaiter: null,      // wakes the window loop that waits for a key
    keyTimeout: null,     // ends that wait when the program's next timer is due
    keysTaken: 0,         // keys handed to the program
    captions: [],         // this frame's captions: {x, y, colour, font, text}
    outputBytes: [],      // output not yet shown, in the pieces written
    panelLength: 0,       // characters in the console panel
    scrollPending: false, // the panel scrolls to its end before the next paint
    paintedCaptions: '',  // what the caption layer shows, to paint it only when it changes
    decoder: null,
    listening: false,     // the page's key and field handlers are in place
    state: null,          // window.gearplot
    logicalSize: 800,     // the window's size in the program's pixels, each way
    scale: 1,             // canvas pixels per program pixel: the fitted size at the device's ratio
    resized: false,       // the canvas changed size since the program last drew

    element: function(id) { return document.getElementById(id); },

    attach: function() {
      GearplotPage.decoder = new TextDecoder('utf-8');
      GearplotPage.state = window.gearplot = {
        frames: 0,        // frames drawn
        keysHandled: 0,   // keys the program has finished with
        waitingFor: '',   // 'line', 'key', 'ended' or '' while it runs
        output: '',       // everything written to standard output and error, as a terminal shows it
        captions: [],     // the text of the last frame's captions, top to bottom as drawn
        files: [],        // paths of the files the program has written, in order
        readFile: function(path) { return Array.from(FS.readFile(path)); },
        exitStatus: null
      };
      var show = function(byte) { GearplotPage.write(new Uint8Array([byte])); };
      Module['stdin'] = function() { return null; };  // replaced by readInput below
      Module['stdout'] = show;
      Module['stderr'] = show;
      Module['onExit'] = function(status) {
        GearplotPage.state.exitStatus = status;
        GearplotPage.setWaiting('ended');
        GearplotPage.note('The program has ended. Reload the page to start it again.');
      };
      // A main that returns after waiting for the console returns to the page, not to the
      // runtime, which would never hear of it: end the program here as its return would.
      Asyncify.asyncPromiseHandlers = {
        resolve: function(status) {
          try { exit(status); } catch (e) { if (!(e instanceof ExitStatus)) throw e; }
        },
        reject: function(error) { if (!(error instanceof ExitStatus)) throw error; }
      };
      addOnInit(function() {
        var ops = FS.getStream(0).stream_ops;
        FS.getStream(0).stream_ops = Object.assign({}, ops, { read: GearplotPage.readInput });
        // Standard output and error a write at a time, not a character at a time: cutdemo1
        // traces tens of kilobytes a frame.
        [1, 2].forEach(function(fd) {
          FS.getStream(fd).stream_ops = Object.assign({}, FS.getStream(fd).stream_ops, {
            write: function(stream, buffer, offset, length) {
              GearplotPage.write(buffer.slice(offset, offset + length));
              return length;
            }
          });
        });
        // Every file the toolkit writes is renamed into place at the end.
        var rename = FS.rename;
        FS.rename = function(oldPath, newPath) {
          rename(oldPath, newPath);
          GearplotPage.offerFile(newPath);
        };
      });
      var params = new URLSearchParams(window.location.search);
      // The command line of a console program; the runtime has read Module['arguments'] already.
      if (params.has('args')) arguments_ = params.get('args').split(/\s+/).filter(Boolean);
      if (params.has('input')) {
        GearplotPage.addressAnswers = params.get('input').split(',');
      }
      document.addEventListener('DOMContentLoaded', GearplotPage.listen);
      if (document.readyState != 'loading') GearplotPage.listen();
    },

    listen: function() {
      if (GearplotPage.listening) return;
      GearplotPage.listening = true;
      var field = GearplotPage.element('console-input');
      field.addEventListener('keydown', function(event) {
        if (event.key != 'Enter') return;
        event.preventDefault();
        GearplotPage.typeLine(field.value);
        field.value = '';
      });
      document.addEventListener('keydown', function(event) {
        if (event.target.tagName == 'INPUT') return;  // the console field and the entry line
        var code = GearplotPage.keyCode(event);
        if (code === null) return;
        event.preventDefault();
        GearplotPage.typeKey(code);
      });
      window.addEventListener('resize', GearplotPage.fit);
      GearplotPage.fit();
    },

    // ---- The window fitted to the screen ----

    // The canvas as large as the screen allows beside (landscape) or below (portrait) the
    // heading, square as the programs' window is, and drawn at the device's pixel ratio.
    fit: function() {
      var box = GearplotPage.element('window');
      if (!box) return;
      var gap = 12, width = document.documentElement.clientWidth, height = window.innerHeight;
      var landscape = width >= height;
      document.body.dataset.layout = landscape ? 'landscape' : 'portrait';
      var heading = GearplotPage.element('heading').getBoundingClientRect().height;
      var side = landscape ? Math.min(height - 2 * gap, width - Math.min(420, width * 0.4) - 3 * gap)
                           : Math.min(width - 2 * gap, height - heading - 3 * gap);
      side = Math.max(120, Math.floor(side));
      box.style.width = box.style.height = side + 'px';
      var pixels = Math.round(side * (window.devicePixelRatio || 1));
      if (Module['canvas'].width == pixels && Module['canvas'].height == pixels) return;
      [Module['canvas'], GearplotPage.element('captions')].forEach(function(canvas) {
        canvas.width = canvas.height = pixels;
      });
      GearplotPage.scale = pixels / GearplotPage.logicalSize;
      GearplotPage.resized = true;
      // A program waiting for a key draws again at once; one busy elsewhere, when it next draws.
      var wake = GearplotPage.keyWaiter;
      if (wake && GearplotPage.state.frames > 0) {
        GearplotPage.keyWaiter = null;
        clearTimeout(GearplotPage.keyTimeout);
        wake(-2);
      }
    },

    // ---- Keys as buttons ----

    // A button's face for a key code.
    keyFace: function(code) {
      var named = { 32: 'space', 27: 'Esc', 13: 'Enter', 356: '\u2190', 357: '\u2191', 358: '\u2192', 359: '\u2193' };
      return named[code] || String.fromCharCode(code);
    },

    // The program's key help as rows of buttons, a row for each line of its help. A line
    // with Enter is the entry line: a text field whose Enter sends Enter, the text, Enter.
    showKeys: function(lines) {
      var list = GearplotPage.element('keys');
      list.textContent = '';
      lines.forEach(function(line) {
        var row = document.createElement('li');
        if (line.keys.indexOf(13) >= 0) {
          var entry = document.createElement('input');
          entry.id = 'entry';
          entry.autocomplete = 'off';
          entry.spellcheck = false;
          entry.placeholder = line.effect;
          entry.setAttribute('aria-label', line.effect);
          entry.addEventListener('keydown', function(event) {
            if (event.key != 'Enter') return;
            event.preventDefault();
            GearplotPage.typeEntry(entry.value);
            entry.value = '';
          });
          row.appendChild(entry);
        } else {
          line.keys.forEach(function(code) {
            var button = document.createElement('button');
            button.type = 'button';
            button.className = 'key';
            button.textContent = GearplotPage.keyFace(code);
            button.dataset.key = code;
            button.tabIndex = -1;  // keys typed on the page go to the program, not to a button
            button.addEventListener('mousedown', function(event) { event.preventDefault(); });
            button.addEventListener('click', function() { GearplotPage.typeKey(code); });
            row.appendChild(button);
          });
          var effect = document.createElement('span');
          effect.className = 'effect';
          effect.textContent = line.effect;
          row.appendChild(effect);
        }
        list.appendChild(row);
      });
      document.body.dataset.keys = 'shown';
    },

    typeEntry: function(text) {
      GearplotPage.typeKey(13);
      for (var i = 0; i < text.length; i++) {
        var code = text.charCodeAt(i);
        if (code < 256) GearplotPage.typeKey(code);
      }
      GearplotPage.typeKey(13);
    },

    // The character a key typed, whatever the keyboard layout: '+', '<' and '>' as shown on
    // the key cap, not as the US key in that place. Null for keys the programs do not take.
    keyCode: function(event) {
      if (event.metaKey || (event.ctrlKey && !event.altKey)) return null;  // browser shortcuts
      var named = { Escape: 27, Enter: 13, Backspace: 8, Tab: 9, Delete: 127 };
      if (event.key in named) return event.key == 'Tab' ? null : named[event.key];
      // GLUT's codes of the special keys, past the characters.
      var special = { ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103, PageUp: 104,
                      PageDown: 105, Home: 106, End: 107, Insert: 108 };
      if (event.key in special) return 256 + special[event.key];
      if (/^F([1-9]|1[0-2])$/.test(event.key)) return 256 + Number(event.key.slice(1));
      if (event.key.length != 1) return null;
      var code = event.key.charCodeAt(0);
      return code < 256 ? code : null;
    },

    // ---- Console ----

    queueLine: function(line) {
      var bytes = new TextEncoder().encode(line + '\n');
      for (var i = 0; i < bytes.length; i++) GearplotPage.pendingInput.push(bytes[i]);
    },

    typeLine: function(line) {
      GearplotPage.flushOutput();
      GearplotPage.echo(line);
      GearplotPage.queueLine(line);
      var wake = GearplotPage.inputWaiter;
      GearplotPage.inputWaiter = null;
      if (wake) wake(0);
    },

    // Standard input: what the field has given, or a wait for the next line. The wait
    // unwinds the program (Asyncify) and this read runs again when the line comes.
    readInput: function(stream, buffer, offset, length) {
      if (Asyncify.state === Asyncify.State.Unwinding) return 0;  // a further buffer of one read
      if (!GearplotPage.pendingInput.length && GearplotPage.addressAnswers.length) {
        // Shown as if typed, once the question before it has been asked.
        var answer = GearplotPage.addressAnswers.shift();
        GearplotPage.flushOutput();
        GearplotPage.echo(answer);
        GearplotPage.queueLine(answer);
      }
      if (Asyncify.state === Asyncify.State.Rewinding || !GearplotPage.pendingInput.length) {
        Asyncify.handleSleep(function(wakeUp) {
          GearplotPage.inputWaiter = wakeUp;
          GearplotPage.setWaiting('line');
        });
        if (Asyncify.state === Asyncify.State.Unwinding) return 0;
        GearplotPage.setWaiting('');
      }
      var n = 0;
      while (n < length && GearplotPage.pendingInput.length) buffer[offset + n++] = GearplotPage.pendingInput.shift();
      return n;
    },

    write: function(bytes) {
      GearplotPage.outputBytes.push(bytes);
      if (GearplotPage.outputBytes.length == 1) setTimeout(GearplotPage.flushOutput, 0);
    },

    flushOutput: function() {
      if (!GearplotPage.outputBytes.length) return;
      var total = 0;
      GearplotPage.outputBytes.forEach(function(piece) { total += piece.length; });
      var bytes = new Uint8Array(total), at = 0;
      GearplotPage.outputBytes.forEach(function(piece) { bytes.set(piece, at); at += piece.length; });
      var text = GearplotPage.decoder.decode(bytes, { stream: true });
      GearplotPage.outputBytes = [];
      GearplotPage.state.output += text;
      GearplotPage.append(text, null);
    },

    echo: function(line) { GearplotPage.append(line + '\n', 'typed'); },
    note: function(line) { GearplotPage.append('\n' + line + '\n', 'note'); },

    // Adds text to the panel, keeping its last 100 000 characters.
    append: function(text, kind) {
      var panel = GearplotPage.element('console-output');
      if (!panel) return;  // a page without a console: the output is kept in gearplot.output only
      var node = document.createTextNode(text);
      if (kind) {
        var span = document.createElement('span');
        span.className = kind;
        span.appendChild(node);
        node = span;
      }
      panel.appendChild(node);
      GearplotPage.panelLength += text.length;
      while (GearplotPage.panelLength > 100000 && panel.firstChild) {
        GearplotPage.panelLength -= panel.firstChild.textContent.length;
        panel.removeChild(panel.firstChild);
      }
      // Scrolled once before the next paint: reading the height now would lay out the whole
      // panel for every write.
      if (!GearplotPage.scrollPending) {
        GearplotPage.scrollPending = true;
        requestAnimationFrame(function() {
          GearplotPage.scrollPending = false;
          panel.scrollTop = panel.scrollHeight;
        });
      }
    },

    setWaiting: function(what) {
      GearplotPage.flushOutput();
      GearplotPage.state.waitingFor = what;
      document.body.dataset.waitingFor = what;
      var field = GearplotPage.element('console-input');
      if (!field) return;
      if (what == 'line') field.focus();
      else if (what == 'key' && document.activeElement == field) field.blur();
    },

    // ---- Keys ----

    typeKey: function(code) {
      GearplotPage.keys.push(code);
      var wake = GearplotPage.keyWaiter;
      GearplotPage.keyWaiter = null;
      if (!wake) return;
      clearTimeout(GearplotPage.keyTimeout);
      GearplotPage.keysTaken++;
      GearplotPage.setWaiting('');
      wake(GearplotPage.keys.shift());
    },

    // ---- Files ----

    // Lists a file the program has written as a link that downloads it; a file written again
    // keeps its one link, which then downloads the new content.
    offerFile: function(path) {
      var node = FS.analyzePath(path).object, data;
      if (!node || !FS.isFile(node.mode)) return;
      try { data = FS.readFile(path); } catch (e) { return; }  // written unreadable on purpose
      var name = path.split('/').pop();
      var list = GearplotPage.element('files');
      var link = Array.from(list.querySelectorAll('a')).find(function(a) { return a.dataset.path == path; });
      if (link) URL.revokeObjectURL(link.href);
      else {
        GearplotPage.state.files.push(path);
        var item = document.createElement('li');
        link = document.createElement('a');
        link.dataset.path = path;
        link.download = name;
        link.textContent = name;
        item.appendChild(link);
        list.appendChild(item);
      }
      link.href = URL.createObjectURL(new Blob([data]));
      document.body.dataset.files = 'written';
    },

    // Draws the frame's captions on a 2D context whose pixels are scale program pixels each.
    paintCaptions: function(context, captions, scale) {
      context.textBaseline = 'alphabetic';
      captions.forEach(function(caption) {
        var font = GearplotPage.fonts[caption.font];
        context.font = font[0] * scale + 'px ' + font[1];
        context.fillStyle = caption.colour;
        var x = caption.x * scale, y = caption.y * scale;
        if (!caption.cells.length) {
          context.fillText(caption.text, x, y);
          return;
        }
        Array.from(caption.text).forEach(function(c, i) {
          context.fillText(c, x, y, caption.cells[i] * scale);
          x += caption.cells[i] * scale;
        });
      });
    }
  },

  gearplot_web_console__deps: ['$GearplotPage'],
  gearplot_web_console: function() {},

  gearplot_web_wait_key__deps: ['$GearplotPage'],
  gearplot_web_wait_key: function(milliseconds) {
    return Asyncify.handleSleep(function(wakeUp) {
      GearplotPage.state.keysHandled = GearplotPage.keysTaken;  // back here: those are done
      if (GearplotPage.keys.length) {
        GearplotPage.keysTaken++;
        wakeUp(GearplotPage.keys.shift());
        return;
      }
      GearplotPage.keyWaiter = wakeUp;
      GearplotPage.setWaiting('key');
      if (milliseconds < 0) return;
      GearplotPage.keyTimeout = setTimeout(function() {
        if (GearplotPage.keyWaiter !== wakeUp) return;
        GearplotPage.keyWaiter = null;
        wakeUp(-1);  // no key: the timer is due
      }, milliseconds);
    });
  },

  // ---- Captions ----

  gearplot_web_raster_pos__deps: ['$GearplotPage', 'glBegin'],  // glBegin brings the emulation in order
  gearplot_web_raster_pos: function(x, y) {
    var size = GearplotPage.logicalSize;
    // With lighting on, a raster position takes the lit colour: with no light enabled that is
    // the material's ambient 0.2 times the model's ambient 0.2, near-black.
    var c = GLEmulation.lightingEnabled
      ? [0.2 * GLEmulation.lightModelAmbient[0], 0.2 * GLEmulation.lightModelAmbient[1],
         0.2 * GLEmulation.lightModelAmbient[2]]
      : GLImmediate.clientColor;
    var byte = function(v) { return Math.round(Math.min(1, Math.max(0, v)) * 255); };
    GearplotPage.captions.push({
      x: (x + 1) / 2 * size,  // window pixels
      y: (1 - y) / 2 * size,
      colour: 'rgb(' + byte(c[0]) + ',' + byte(c[1]) + ',' + byte(c[2]) + ')',
      font: 6,
      text: '',
      cells: []   // Unicode captions: each character's advance in pixels
    });
  },

  gearplot_web_caption_char__deps: ['$GearplotPage'],
  gearplot_web_caption_char: function(font, c) {
    var caption = GearplotPage.captions[GearplotPage.captions.length - 1];
    if (!caption) return;
    caption.font = font;
    caption.text += String.fromCharCode(c);  // bitmap fonts are Latin-1
  },

  // Appends one character of a Unicode caption, drawn in a cell of width pixels as Unifont
  // would draw it, so the layout is the desktop's whatever the page's font.
  gearplot_web_caption_glyph__deps: ['$GearplotPage'],
  gearplot_web_caption_glyph: function(codePoint, width) {
    var caption = GearplotPage.captions[GearplotPage.captions.length - 1];
    if (!caption) return;
    caption.font = 7;
    caption.text += String.fromCodePoint(codePoint);
    caption.cells.push(width);
  },

  gearplot_web_end_frame__deps: ['$GearplotPage'],
  gearplot_web_end_frame: function() {
    var overlay = GearplotPage.element('captions');
    // The captions are painted again only when they changed: most frames of an animation
    // keep them, and the page's 2D canvas is drawn by the same software renderer as WebGL.
    var painted = JSON.stringify([GearplotPage.captions, overlay.width, GearplotPage.scale]);
    if (painted != GearplotPage.paintedCaptions) {
      GearplotPage.paintedCaptions = painted;
      var context = overlay.getContext('2d');
      context.clearRect(0, 0, overlay.width, overlay.height);
      GearplotPage.paintCaptions(context, GearplotPage.captions, GearplotPage.scale);
    }
    GearplotPage.state.captions = GearplotPage.captions.map(function(caption) { return caption.text; });
    GearplotPage.captions = [];
    GearplotPage.state.frames++;
    document.body.dataset.window = 'open';  // a console program never shows the window
  },

  // The frame being drawn, captions included, as width × height RGB pixels, rows from the
  // bottom as glReadPixels gives them: the canvas read back, the captions painted over it,
  // then brought to the program's size if the page shows it at another.
  gearplot_web_read_picture__deps: ['$GearplotPage'],
  gearplot_web_read_picture: function(width, height, rgb) {
    var gl = Module.ctx, canvas = Module['canvas'];
    var w = canvas.width, h = canvas.height;
    var rgba = new Uint8Array(w * h * 4);
    gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    var full = document.createElement('canvas');
    full.width = w;
    full.height = h;
    var context = full.getContext('2d');
    var image = context.createImageData(w, h);
    for (var row = 0; row < h; row++)  // GL rows run from the bottom
      image.data.set(rgba.subarray((h - 1 - row) * w * 4, (h - row) * w * 4), row * w * 4);
    for (var i = 3; i < image.data.length; i += 4) image.data[i] = 255;
    context.putImageData(image, 0, 0);
    GearplotPage.paintCaptions(context, GearplotPage.captions, w / GearplotPage.logicalSize);
    var picture = full;
    if (w != width || h != height) {
      picture = document.createElement('canvas');
      picture.width = width;
      picture.height = height;
      var scaled = picture.getContext('2d');
      scaled.imageSmoothingQuality = 'high';
      scaled.drawImage(full, 0, 0, width, height);
    }
    var pixels = picture.getContext('2d').getImageData(0, 0, width, height).data;
    for (var y = 0; y < height; y++)
      for (var x = 0; x < width; x++) {
        var from = (y * width + x) * 4, to = rgb + ((height - 1 - y) * width + x) * 3;
        HEAPU8[to] = pixels[from];
        HEAPU8[to + 1] = pixels[from + 1];
        HEAPU8[to + 2] = pixels[from + 2];
      }
  },

  // Whether the canvas changed size since the last call: the program then reshapes.
  gearplot_web_take_resize__deps: ['$GearplotPage'],
  gearplot_web_take_resize: function() {
    var resized = GearplotPage.resized;
    GearplotPage.resized = false;
    return resized;
  },

  // Canvas pixels per program pixel.
  gearplot_web_scale__deps: ['$GearplotPage'],
  gearplot_web_scale: function() { return GearplotPage.scale; },

  // The window is made: the page fits it to the screen again (GLUT sized it as the desktop).
  gearplot_web_window_made__deps: ['$GearplotPage'],
  gearplot_web_window_made: function(width, height) {
    GearplotPage.logicalSize = width;
    Module['canvas'].width = 0;  // whatever GLUT set, fit sets the fitted size
    GearplotPage.fit();
  },

  // The program's keys, as its help lists them: JSON [{keys: [codes], names, effect}].
  gearplot_web_publish_keys__deps: ['$GearplotPage'],
  gearplot_web_publish_keys: function(json) {
    var lines = JSON.parse(UTF8ToString(json));
    if (document.readyState == 'loading')
      document.addEventListener('DOMContentLoaded', function() { GearplotPage.showKeys(lines); });
    else GearplotPage.showKeys(lines);
  },

  gearplot_web_set_title: function(title) { document.title = UTF8ToString(title); }
});
