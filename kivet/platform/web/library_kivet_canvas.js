// What the canvas shows: the rows of the bitmap that changed since the
// program last handed control to the browser reach the canvas then, once,
// however often it presented meanwhile. The canvas is drawn by a worker of
// its own (an OffscreenCanvas), which keeps the page's main thread out of
// every frame and so costs about half the processor time of drawing it
// here; a browser without workers that draw gets the canvas drawn here.
// The canvas has its size from the program before it is set up.

mergeInto(LibraryManager.library, {
  $KivetCanvas: {
    pixels: 0,                          // the bitmap, in the program's memory
    rowsTop: Infinity, rowsBottom: -1,  // the rows presented since the last copy
    worker: null,
    context: null,                      // when drawn here
    reads: null,                        // read requests waiting for the worker
    drawnBefore: false,

    // The worker's side: fills the canvas white, draws the rows it gets,
    // answers each with the time it drew them, and reads the canvas back.
    WORKER: [
      'var context;',
      'onmessage = function(e) {',
      '  var m = e.data;',
      '  if (m.canvas) {',
      '    context = m.canvas.getContext("2d", {alpha: false});',
      '    context.fillStyle = "#fff";',
      '    context.fillRect(0, 0, m.canvas.width, m.canvas.height);',
      '  } else if (m.read) {',
      '    var data = context.getImageData(0, 0, context.canvas.width, context.canvas.height).data;',
      '    postMessage({read: m.read, pixels: data.buffer}, [data.buffer]);',
      '  } else {',
      '    var image = new ImageData(new Uint8ClampedArray(m.pixels), m.width, m.height);',
      '    context.putImageData(image, m.left, m.top);',
      '    postMessage({drawn: performance.timeOrigin + performance.now()});',
      '  }',
      '};',
    ].join('\n'),

    setUp: function(canvas) {
      KivetCanvas.reads = new Map();
      if (canvas.transferControlToOffscreen && typeof OffscreenCanvas != 'undefined' && typeof Worker != 'undefined') {
        try {
          var code = URL.createObjectURL(new Blob([KivetCanvas.WORKER], {type: 'text/javascript'}));
          var worker = new Worker(code);
          var offscreen = canvas.transferControlToOffscreen();
          worker.onmessage = KivetCanvas.onWorkerMessage;
          worker.postMessage({canvas: offscreen}, [offscreen]);
          KivetCanvas.worker = worker;
          return;
        } catch (e) {
          KivetCanvas.worker = null;  // drawn here instead
        }
      }
      KivetCanvas.context = canvas.getContext('2d', {alpha: false});
      KivetCanvas.context.fillStyle = '#fff';
      KivetCanvas.context.fillRect(0, 0, canvas.width, canvas.height);
    },

    onWorkerMessage: function(e) {
      var m = e.data;
      if (m.read) {
        var resolve = KivetCanvas.reads.get(m.read);
        KivetCanvas.reads.delete(m.read);
        if (resolve) resolve(new Uint8ClampedArray(m.pixels));
      } else if (m.drawn) {
        KivetCanvas.noteFrame(m.drawn - performance.timeOrigin);
      }
    },

    // For tests and measures: frames drawn, and when the first was (in ms
    // from the start of the page's loading).
    noteFrame: function(time) {
      if (!Module['kivetFrames']) Module['kivetFirstFrame'] = time;
      Module['kivetFrames'] = (Module['kivetFrames'] || 0) + 1;
    },

    present: function(pixels, top, bottom) {
      KivetCanvas.pixels = pixels;
      KivetCanvas.rowsTop = Math.min(KivetCanvas.rowsTop, top);
      KivetCanvas.rowsBottom = Math.max(KivetCanvas.rowsBottom, bottom);
    },

    // The presented rows are compared with what the canvas shows
    // (canvas_rows.cpp), and the box of pixels that changed goes to it.
    copy: function() {
      var top = KivetCanvas.rowsTop, bottom = KivetCanvas.rowsBottom;
      KivetCanvas.rowsTop = Infinity;
      KivetCanvas.rowsBottom = -1;
      if (top > bottom || !KivetCanvas.pixels || !(KivetCanvas.worker || KivetCanvas.context)) return;
      var box = _kivet_web_canvas_rows(KivetCanvas.pixels, top, bottom) >> 2;
      var left = HEAP32[box], right = HEAP32[box + 2];
      top = HEAP32[box + 1];
      bottom = HEAP32[box + 3];
      if (right < left) return;
      var width = right - left + 1, height = bottom - top + 1;
      var start = HEAPU32[box + 4];
      var pixels = HEAPU8.slice(start, start + width * height * 4);
      if (KivetCanvas.worker) {
        KivetCanvas.worker.postMessage({pixels: pixels.buffer, left: left, top: top, width: width,
                                        height: height}, [pixels.buffer]);
      } else {
        var image = new ImageData(new Uint8ClampedArray(pixels.buffer), width, height);
        KivetCanvas.context.putImageData(image, left, top);
        KivetCanvas.noteFrame(performance.now());
      }
    },

    // What the canvas shows, as RGBA bytes row after row (a promise).
    read: function() {
      if (!KivetCanvas.worker) {
        var context = KivetCanvas.context;
        return Promise.resolve(context.getImageData(0, 0, context.canvas.width, context.canvas.height).data);
      }
      return new Promise(function(resolve) {
        var id = KivetCanvas.reads.size + 1 + Math.random();
        KivetCanvas.reads.set(id, resolve);
        KivetCanvas.worker.postMessage({read: id});
      });
    },
  },
});
