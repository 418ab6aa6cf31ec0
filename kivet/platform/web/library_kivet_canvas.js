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
    presented: false,                   // since the last copy (the rows: canvas_rows.cpp)
    worker: null,
    context: null,                      // when drawn here
    reads: null,                        // read requests waiting for the worker
    framesSent: 0,                      // frames handed to the canvas

    // The worker's side: fills the canvas white, draws the boxes it gets,
    // answers the first with the time it drew them (later frames go
    // unanswered: a message a frame costs the page's main thread a task),
    // and reads the canvas back.
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
      '    var data = new Uint8ClampedArray(m.pixels), start = 0;',
      '    for (var i = 0; i < m.boxes.length; i += 4) {',
      '      var width = m.boxes[i + 2], height = m.boxes[i + 3], end = start + width * height * 4;',
      '      context.putImageData(new ImageData(data.subarray(start, end), width, height), m.boxes[i], m.boxes[i + 1]);',
      '      start = end;',
      '    }',
      '    if (m.first) postMessage({drawn: performance.timeOrigin + performance.now()});',
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
        KivetCanvas.noteFrames(m.drawn - performance.timeOrigin);
      }
    },

    // For tests and measures: when the first frame was drawn (in ms from
    // the start of the page's loading), and from then on the frames handed
    // to the canvas; a reading of the canvas comes after all of them.
    noteFrames: function(firstDrawn) {
      if (firstDrawn !== undefined) Module['kivetFirstFrame'] = firstDrawn;
      if (Module['kivetFirstFrame'] !== undefined) Module['kivetFrames'] = KivetCanvas.framesSent;
    },

    present: function(pixels) {
      KivetCanvas.pixels = pixels;
      KivetCanvas.presented = true;
    },

    // The presented rows are compared with what the canvas shows
    // (canvas_rows.cpp), and the boxes of pixels that changed go to it.
    copy: function() {
      var presented = KivetCanvas.presented;
      KivetCanvas.presented = false;
      if (!presented || !KivetCanvas.pixels || !(KivetCanvas.worker || KivetCanvas.context)) return;
      var at = _kivet_web_canvas_rows(KivetCanvas.pixels) >> 2;
      var count = HEAP32[at];
      if (!count) return;
      var list = HEAPU32[at + 1] >> 2, start = HEAPU32[at + 2];
      var boxes = HEAP32.slice(list, list + 4 * count);
      var pixels = HEAPU8.slice(start, start + HEAP32[at + 3]);
      if (KivetCanvas.worker) {
        KivetCanvas.worker.postMessage({pixels: pixels.buffer, boxes: boxes,
                                        first: KivetCanvas.framesSent++ == 0}, [pixels.buffer]);
        KivetCanvas.noteFrames();
      } else {
        var data = new Uint8ClampedArray(pixels.buffer), first = 0;
        for (var i = 0; i < count * 4; i += 4) {
          var width = boxes[i + 2], height = boxes[i + 3], end = first + width * height * 4;
          KivetCanvas.context.putImageData(new ImageData(data.subarray(first, end), width, height),
                                           boxes[i], boxes[i + 1]);
          first = end;
        }
        KivetCanvas.noteFrames(KivetCanvas.framesSent++ == 0 ? performance.now() : undefined);
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
