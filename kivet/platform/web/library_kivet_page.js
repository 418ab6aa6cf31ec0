// The page side of the web backend: the page's events (keys, clicks on the
// canvas, menu choices, the 100 ms timer), the text pane and the end of the
// program. The canvas, the menu bar, the keys' translation, the dialog and
// the storage have files of their own (library_kivet_*.js). Page events
// wait in a queue of their own until the program takes them
// (kivet_page_take_event); a program that waits for one is suspended
// (ASYNCIFY) and woken by the next.
//
// The elements it uses are in the page (shell.html): kivet-graphics (the
// canvas), kivet-window, kivet-text-window, kivet-text, kivet-status.

mergeInto(LibraryManager.library, {
  $KivetPage__deps: ['$KivetKeys', '$KivetMenu', '$KivetCanvas', '$KivetDialog', '$KivetStorage'],
  $KivetPage__postset: 'KivetPage.install();',
  $KivetPage: {
    // Page event kinds, as kivet_page_take_event hands them to the program.
    TIMER: 1, CLICK: 2, KEY_DOWN: 3, KEY_UP: 4, COMMAND: 5, DIALOG: 6, MOVE: 7, LIFT: 8, BLUR: 9,
    width: 0, height: 0,   // the canvas's, once the program has given them
    queue: [],
    wake: null,            // resumes the program waiting for an event
    timers: null,          // number -> timer (made at start: a library object holds no Map)
    textLines: [], textChanged: false,
    frameRequested: false,
    ended: false,
    element: function(id) { return document.getElementById(id); },

    // Runs as the page's script is read: the program starts once its
    // storage is ready (after preRun), and its end is reported.
    install: function() {
      KivetPage.timers = new Map();
      Module['noInitialRun'] = true;
      Module['onExit'] = function(status) {
        KivetPage.end('The program has ended (exit status ' + status + ').');
      };
      Module['onAbort'] = function(what) {
        KivetPage.end('The program has stopped with an error: ' + what);
      };
      addOnPostRun(KivetPage.startProgram);
      if (typeof document == 'undefined') return;
      if (document.readyState == 'loading') {
        document.addEventListener('DOMContentLoaded', KivetPage.setUpPage);
      } else {
        KivetPage.setUpPage();
      }
    },

    // Runs main; when it returns, the process ends with its value as the
    // exit status (atexit handlers and all), as exit() inside it does.
    startProgram: function() {
      var onError = function(e) {
        if (e instanceof ExitStatus || KivetPage.ended) return;
        KivetPage.end('The program has stopped with an error: ' + e);
      };
      var onReturn = function(status) {
        try {
          exit(status);
        } catch (e) {
          onError(e);
        }
      };
      try {
        var status = _main(0, 0);
        if (Asyncify.currData) {
          Asyncify.whenDone().then(onReturn, onError);
        } else {
          onReturn(status);
        }
      } catch (e) {
        onError(e);
      }
    },

    setUpPage: function() {
      var canvas = KivetPage.element('kivet-graphics');
      KivetPage.canvas = canvas;
      KivetPage.setUpCanvas();
      canvas.addEventListener('pointerdown', KivetPage.onPointerDown);
      canvas.addEventListener('pointermove', KivetPage.onPointer);
      canvas.addEventListener('pointerup', KivetPage.onPointer);
      window.addEventListener('blur', function() { KivetPage.push([KivetPage.BLUR, 0, 0, 0]); });
      window.addEventListener('keydown', KivetKeys.onKeyDown, true);
      window.addEventListener('keyup', KivetKeys.onKeyUp, true);
      document.addEventListener('visibilitychange', KivetPage.onVisibility);
      window.addEventListener('resize', KivetPage.layOut);
      window.addEventListener('pagehide', KivetPage.onPageHide);
      KivetPage.watchPixelRatio();
      KivetPage.layOut();
      KivetDialog.setUp();
      canvas.focus();
    },

    // The page is closed or left for good: what is being recorded is
    // finished before it goes.
    onPageHide: function(e) {
      if (e.persisted || KivetPage.ended || !Module['_kivet_web_page_closing']) return;
      Module['_kivet_web_page_closing']();
    },

    // The canvas is set up once both the page and its size are there,
    // whichever comes first: its size cannot change once a worker draws it.
    // The text window is as wide as the canvas.
    setUpCanvas: function() {
      var canvas = KivetPage.canvas;
      if (!canvas || !KivetPage.width || KivetCanvas.worker || KivetCanvas.context) return;
      canvas.width = KivetPage.width;
      canvas.height = KivetPage.height;
      KivetPage.element('kivet-text-window').style.width = KivetPage.width + 'px';
      KivetCanvas.setUp(canvas);
      KivetPage.layOut();
    },

    // Each bitmap pixel is k x k device pixels, k the device pixel ratio
    // rounded, with the canvas on a whole device pixel: sharp blocks at any
    // ratio.
    layOut: function() {
      var canvas = KivetPage.canvas;
      if (!canvas || !KivetPage.width) return;
      var ratio = window.devicePixelRatio || 1;
      var k = Math.max(1, Math.round(ratio));
      canvas.style.width = (KivetPage.width * k / ratio) + 'px';
      canvas.style.height = (KivetPage.height * k / ratio) + 'px';
      // Moved by relative offsets, not a transform, which the browser would
      // draw off the pixel grid; a shift that is only the layout's rounding
      // error is none.
      canvas.style.left = canvas.style.top = '';
      var box = canvas.getBoundingClientRect();
      var shift = function(v) {
        var d = Math.round(v * ratio) - v * ratio;
        return Math.abs(d) < 0.01 ? '' : (d / ratio) + 'px';
      };
      canvas.style.left = shift(box.left);
      canvas.style.top = shift(box.top);
    },

    watchPixelRatio: function() {
      if (!window.matchMedia) return;
      var query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
      var changed = function() {
        query.removeEventListener('change', changed);
        KivetPage.layOut();
        KivetPage.watchPixelRatio();
      };
      query.addEventListener('change', changed);
    },

    // A page event for the program; a timer tick waits at most once, and
    // moves of the mouse one after the other become the latest.
    push: function(event) {
      if (KivetPage.ended) return;
      var last = KivetPage.queue[KivetPage.queue.length - 1];
      if (event[0] == KivetPage.MOVE && last && last[0] == event[0]) KivetPage.queue.pop();
      if (event[0] == KivetPage.TIMER) {
        for (var i = 0; i < KivetPage.queue.length; i++) {
          var queued = KivetPage.queue[i];
          if (queued[0] == KivetPage.TIMER && queued[1] == event[1]) return;
        }
      }
      KivetPage.queue.push(event);
      var wake = KivetPage.wake;
      if (wake) {
        KivetPage.wake = null;
        wake();
      }
    },

    // The bitmap pixel under the pointer. Pointer events carry fractional
    // positions, which at a fractional device pixel ratio tell apart
    // pixels that whole CSS pixels cannot; the pointer itself is at a whole
    // device pixel.
    onPointerDown: function(e) {
      if (e.button != 0 || !e.isPrimary || KivetPage.ended || !KivetPage.width) return;
      KivetPage.canvas.focus();
      // A drag past the canvas's edge goes on, and its release comes here.
      KivetPage.canvas.setPointerCapture(e.pointerId);
      e.preventDefault();
      var at = KivetPage.pixel(e);
      var x = Math.min(Math.max(at[0], 0), KivetPage.width - 1);
      var y = Math.min(Math.max(at[1], 0), KivetPage.height - 1);
      KivetPage.push([KivetPage.CLICK, x, y, 0]);
    },

    pixel: function(e) {
      var box = KivetPage.canvas.getBoundingClientRect();
      var ratio = window.devicePixelRatio || 1;
      var k = Math.max(1, Math.round(ratio));
      return [Math.floor((Math.round(e.clientX * ratio) - Math.round(box.left * ratio)) / k),
              Math.floor((Math.round(e.clientY * ratio) - Math.round(box.top * ratio)) / k)];
    },

    // The mouse moved, or its left button went up.
    onPointer: function(e) {
      var up = e.type == 'pointerup';
      if ((up && e.button != 0) || !e.isPrimary || !KivetPage.width) return;
      var at = KivetPage.pixel(e);
      KivetPage.push([up ? KivetPage.LIFT : KivetPage.MOVE, at[0], at[1], 0]);
    },

    // The k-th tick of a timer is due at its start plus k periods; a tick
    // served late skips those it missed. While the page is hidden no timer
    // runs: the animation holds, and goes on from there when it shows again.
    startTimer: function(number, period) {
      KivetPage.stopTimer(number);
      var timer = {number: number, period: Math.max(1, period), start: performance.now(), tick: 1, handle: 0};
      KivetPage.timers.set(number, timer);
      KivetPage.armTimer(timer);
    },

    stopTimer: function(number) {
      var timer = KivetPage.timers.get(number);
      if (!timer) return;
      clearTimeout(timer.handle);
      KivetPage.timers.delete(number);
    },

    armTimer: function(timer) {
      if (document.hidden || KivetPage.ended) return;
      var due = timer.start + timer.tick * timer.period;
      timer.handle = setTimeout(function() { KivetPage.fireTimer(timer); },
                                Math.max(0, due - performance.now()));
    },

    fireTimer: function(timer) {
      timer.handle = 0;
      var now = performance.now();
      timer.tick = Math.max(timer.tick + 1, Math.floor((now - timer.start) / timer.period) + 1);
      KivetPage.push([KivetPage.TIMER, timer.number, 0, 0]);
      KivetPage.armTimer(timer);
    },

    onVisibility: function() {
      KivetPage.timers.forEach(function(timer) {
        clearTimeout(timer.handle);
        timer.handle = 0;
        if (!document.hidden) {
          timer.start = performance.now();
          timer.tick = 1;
          KivetPage.armTimer(timer);
        }
      });
    },

    // The program hands control to the browser: what it presented goes to
    // the canvas.
    handOver: function() {
      KivetCanvas.copy();
    },

    // Text lines reach the pane at most once per frame.
    requestFrame: function() {
      if (KivetPage.frameRequested || KivetPage.ended) return;
      KivetPage.frameRequested = true;
      requestAnimationFrame(KivetPage.showText);
    },

    showText: function() {
      KivetPage.frameRequested = false;
      if (!KivetPage.textChanged) return;
      KivetPage.textChanged = false;
      var pane = KivetPage.element('kivet-text');
      pane.textContent = KivetPage.textLines.join('\n');
      pane.scrollTop = pane.scrollHeight;
    },

    // The text pane keeps as many lines as the library's ring.
    TEXT_LINES_KEPT: 25,
    addText: function(line) {
      var lines = KivetPage.textLines;
      lines.push(line);
      if (lines.length > KivetPage.TEXT_LINES_KEPT) lines.splice(0, lines.length - KivetPage.TEXT_LINES_KEPT);
      KivetPage.textChanged = true;
      KivetPage.requestFrame();
    },

    // The end of the program: the last picture stays, the page says so.
    end: function(text) {
      if (KivetPage.ended) return;
      KivetCanvas.copy();
      KivetPage.showText();
      KivetPage.ended = true;
      KivetPage.timers.forEach(function(timer) { clearTimeout(timer.handle); });
      KivetPage.timers.clear();
      KivetDialog.close();
      KivetMenu.close();
      KivetMenu.disable();
      // A page that plays the script of its address says so beside the end.
      if (KivetStorage.scriptName !== null) {
        text = 'Played the script "' + KivetStorage.scriptName + '". ' + text;
        document.documentElement.setAttribute('data-kivet-script', 'played');
      }
      var status = KivetPage.element('kivet-status');
      if (status) {
        status.textContent = text;
        status.hidden = false;
      }
      document.documentElement.setAttribute('data-kivet-ended', 'yes');
    },
  },

  kivet_page_set_size__deps: ['$KivetPage'],
  kivet_page_set_size: function(width, height) {
    KivetPage.width = width;
    KivetPage.height = height;
    KivetPage.setUpCanvas();
  },

  kivet_page_create_window__deps: ['$KivetPage'],
  kivet_page_create_window: function(window, title) {
    var text = UTF8ToString(title);
    if (window == 1) {
      document.title = text;
      KivetPage.element('kivet-window').setAttribute('aria-label', text);
    } else {
      KivetPage.element('kivet-text-title').textContent = text;
    }
  },

  kivet_page_show_window__deps: ['$KivetPage'],
  kivet_page_show_window: function(window, show) {
    var box = KivetPage.element(window == 1 ? 'kivet-window' : 'kivet-text-window');
    var was = !box.hidden;
    box.hidden = !show;
    if (show && window == 1) {
      KivetPage.layOut();
      if (KivetPage.canvas) KivetPage.canvas.focus();
    }
    return was ? 1 : 0;
  },

  kivet_page_browser_name: function(buffer, size) {
    var name = '';
    var brands = (navigator.userAgentData && navigator.userAgentData.brands) || [];
    brands.forEach(function(b) {
      if (!/Not.A.Brand/i.test(b.brand) && (!name || /^Chromium /.test(name))) name = b.brand + ' ' + b.version;
    });
    if (!name) {
      var agent = navigator.userAgent, found;
      if ((found = /Firefox\/(\d+)/.exec(agent))) name = 'Firefox ' + found[1];
      else if ((found = /Edg\/(\d+)/.exec(agent))) name = 'Edge ' + found[1];
      else if ((found = /Chrom(?:e|ium)\/(\d+)/.exec(agent))) name = 'Chrome ' + found[1];
      else if ((found = /Version\/(\d+)[^ ]* .*Safari/.exec(agent))) name = 'Safari ' + found[1];
    }
    stringToUTF8(name, buffer, size);
  },

  kivet_page_screen_size__deps: ['$KivetPage'],
  kivet_page_screen_size: function(size) {
    HEAP32[size >> 2] = window.screen ? window.screen.width : 0;
    HEAP32[(size >> 2) + 1] = window.screen ? window.screen.height : 0;
  },

  kivet_page_start_timer__deps: ['$KivetPage'],
  kivet_page_start_timer: function(number, period) { KivetPage.startTimer(number, period); },

  kivet_page_stop_timer__deps: ['$KivetPage'],
  kivet_page_stop_timer: function(number) { KivetPage.stopTimer(number); },

  kivet_page_present__deps: ['$KivetPage'],
  kivet_page_present: function(pixels) { KivetCanvas.present(pixels); },

  kivet_page_text_clear__deps: ['$KivetPage'],
  kivet_page_text_clear: function() {
    KivetPage.textLines = [];
    KivetPage.textChanged = true;
    KivetPage.requestFrame();
  },

  kivet_page_text_add__deps: ['$KivetPage'],
  kivet_page_text_add: function(line) { KivetPage.addText(UTF8ToString(line)); },

  // The oldest page event into fields[0..2]; returns its kind, 0 for none.
  kivet_page_take_event__deps: ['$KivetPage'],
  kivet_page_take_event: function(fields) {
    var event = KivetPage.queue.shift();
    if (!event) return 0;
    HEAP32[fields >> 2] = event[1];
    HEAP32[(fields >> 2) + 1] = event[2];
    HEAP32[(fields >> 2) + 2] = event[3];
    return event[0];
  },

  // Suspends the program until a page event is queued.
  kivet_page_wait__deps: ['$KivetPage'],
  kivet_page_wait: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      KivetPage.handOver();
      if (KivetPage.queue.length) {
        wakeUp();
      } else {
        KivetPage.wake = wakeUp;
      }
    });
  },

  // Lets the browser handle what is pending (input, a frame) and resumes at
  // once: a message to itself comes back after everything queued before it.
  kivet_page_yield__deps: ['$KivetPage'],
  kivet_page_yield: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      KivetPage.handOver();
      if (!KivetPage.yieldChannel) {
        KivetPage.yieldChannel = new MessageChannel();
        KivetPage.yieldChannel.port1.onmessage = function() {
          var resume = KivetPage.yieldResume;
          KivetPage.yieldResume = null;
          if (resume) resume();
        };
      }
      KivetPage.yieldResume = wakeUp;
      KivetPage.yieldChannel.port2.postMessage(0);
    });
  },

  // Suspends the program for `milliseconds`; page events wait meanwhile.
  kivet_page_sleep__deps: ['$KivetPage'],
  kivet_page_sleep: function(milliseconds) {
    return Asyncify.handleSleep(function(wakeUp) {
      KivetPage.handOver();
      setTimeout(wakeUp, milliseconds);
    });
  },
});
