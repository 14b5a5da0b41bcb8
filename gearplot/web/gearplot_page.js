// The page side of the toolkit's web layer: the console panel that stands for standard
// input and output, the keys typed on the page, the captions over the canvas, the title and
// the files the program writes, offered for download. Tests and lessons read window.gearplot:
// the frame count, what the program waits for, the text it has printed, the last frame's
// captions and the files written.
mergeInto(LibraryManager.library, {
  $GearplotPage__deps: ['$Asyncify', '$FS'],
  $GearplotPage__postset: 'GearplotPage.attach();',
  $GearplotPage: {
    // CSS fonts for freeglut's bitmap fonts, in the order web_gl.cpp numbers them.
    fonts: ['15px monospace', '13px monospace', '10px "Times New Roman", serif',
            '24px "Times New Roman", serif', '10px Helvetica, Arial, sans-serif',
            '12px Helvetica, Arial, sans-serif', '18px Helvetica, Arial, sans-serif',
            '16px Unifont, monospace'],  // and the Unicode captions' (web_unicode_text.cpp)
    pendingInput: [],     // bytes typed into the console field, not yet read
    addressAnswers: [],   // lines from ?input=, given one at a time as the program reads on
    inputWaiter: null,    // wakes a read that waits for the field
    keys: [],             // character codes typed on the page, not yet handled
    keyWaiter: null,      // wakes the window loop that waits for a key
    keyTimeout: null,     // ends that wait when the program's next timer is due
    keysTaken: 0,         // keys handed to the program
    captions: [],         // this frame's captions: {x, y, colour, font, text}
    outputBytes: [],      // output not yet shown
    decoder: null,
    listening: false,     // the page's key and field handlers are in place
    state: null,          // window.gearplot

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
      var show = function(byte) {
        GearplotPage.outputBytes.push(byte);
        if (GearplotPage.outputBytes.length == 1) setTimeout(GearplotPage.flushOutput, 0);
      };
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
        if (event.target == field) return;
        var code = GearplotPage.keyCode(event);
        if (code === null) return;
        event.preventDefault();
        GearplotPage.typeKey(code);
      });
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

    flushOutput: function() {
      if (!GearplotPage.outputBytes.length) return;
      var text = GearplotPage.decoder.decode(new Uint8Array(GearplotPage.outputBytes), { stream: true });
      GearplotPage.outputBytes = [];
      GearplotPage.state.output += text;
      GearplotPage.append(text, null);
    },

    echo: function(line) { GearplotPage.append(line + '\n', 'typed'); },
    note: function(line) { GearplotPage.append('\n' + line + '\n', 'note'); },

    // Adds text to the panel, keeping its last 100 000 characters.
    append: function(text, kind) {
      var panel = GearplotPage.element('console-output');
      var node = document.createTextNode(text);
      if (kind) {
        var span = document.createElement('span');
        span.className = kind;
        span.appendChild(node);
        node = span;
      }
      panel.appendChild(node);
      while (panel.textContent.length > 100000 && panel.firstChild) panel.removeChild(panel.firstChild);
      panel.scrollTop = panel.scrollHeight;
    },

    setWaiting: function(what) {
      GearplotPage.flushOutput();
      GearplotPage.state.waitingFor = what;
      document.body.dataset.waitingFor = what;
      var field = GearplotPage.element('console-input');
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

    // Lists a file the program has written in the panel, as a link that downloads it.
    offerFile: function(path) {
      var node = FS.analyzePath(path).object, data;
      if (!node || !FS.isFile(node.mode)) return;
      try { data = FS.readFile(path); } catch (e) { return; }  // written unreadable on purpose
      GearplotPage.state.files.push(path);
      var name = path.split('/').pop();
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([data]));
      link.download = name;
      link.textContent = 'download ' + name;
      link.className = 'file';
      GearplotPage.flushOutput();
      GearplotPage.element('console-output').appendChild(link);
      GearplotPage.append('\n', null);
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
    var m = GLImmediate.matrix[0], p = GLImmediate.matrix[1];
    var ex = m[0] * x + m[4] * y + m[12], ey = m[1] * x + m[5] * y + m[13];
    var ez = m[2] * x + m[6] * y + m[14], ew = m[3] * x + m[7] * y + m[15];
    var cx = p[0] * ex + p[4] * ey + p[8] * ez + p[12] * ew;
    var cy = p[1] * ex + p[5] * ey + p[9] * ez + p[13] * ew;
    var cw = p[3] * ex + p[7] * ey + p[11] * ez + p[15] * ew;
    var canvas = Module['canvas'];
    // With lighting on, a raster position takes the lit colour: with no light enabled that is
    // the material's ambient 0.2 times the model's ambient 0.2, near-black.
    var c = GLEmulation.lightingEnabled
      ? [0.2 * GLEmulation.lightModelAmbient[0], 0.2 * GLEmulation.lightModelAmbient[1],
         0.2 * GLEmulation.lightModelAmbient[2]]
      : GLImmediate.clientColor;
    var byte = function(v) { return Math.round(Math.min(1, Math.max(0, v)) * 255); };
    GearplotPage.captions.push({
      x: (cx / cw + 1) / 2 * canvas.width,
      y: (1 - cy / cw) / 2 * canvas.height,
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
    var canvas = Module['canvas'], overlay = GearplotPage.element('captions');
    if (overlay.width != canvas.width) overlay.width = canvas.width;
    if (overlay.height != canvas.height) overlay.height = canvas.height;
    var context = overlay.getContext('2d');
    context.clearRect(0, 0, overlay.width, overlay.height);
    context.textBaseline = 'alphabetic';
    GearplotPage.captions.forEach(function(caption) {
      context.font = GearplotPage.fonts[caption.font];
      context.fillStyle = caption.colour;
      if (!caption.cells.length) {
        context.fillText(caption.text, caption.x, caption.y);
        return;
      }
      var x = caption.x;
      Array.from(caption.text).forEach(function(c, i) {
        context.fillText(c, x, caption.y, caption.cells[i]);
        x += caption.cells[i];
      });
    });
    GearplotPage.state.captions = GearplotPage.captions.map(function(caption) { return caption.text; });
    GearplotPage.captions = [];
    GearplotPage.state.frames++;
    document.body.dataset.window = 'open';  // a console program never shows the window
  },

  gearplot_web_set_title: function(title) { document.title = UTF8ToString(title); }
});
