// The canvas font: text drawn by the browser on a small canvas of its own,
// black on transparent, and thresholded into the library's pixels, so that
// each pixel is either left as it was or becomes exactly the colour. The
// face is "KIVET-font" (which a page may supply), else DejaVu Sans, else
// the browser's sans-serif; characters are `height` pixels high (the em,
// without internal leading) and the line height comes from the font's
// ascent and descent. Drawn lines are kept by text and height, so text that
// is drawn again and again costs only its copy.

mergeInto(LibraryManager.library, {
  $KivetFont: {
    FACE: '"KIVET-font", "DejaVu Sans", sans-serif',
    KEPT: 64,
    context: null,
    metrics: null,  // height -> {ascent, descent}
    masks: null,    // height and text -> {points}, the most recently used last
    decoder: null,

    setUp: function() {
      if (KivetFont.context) return KivetFont.context;
      var canvas = typeof OffscreenCanvas != 'undefined' ? new OffscreenCanvas(64, 64)
                                                         : document.createElement('canvas');
      KivetFont.context = canvas.getContext('2d', {willReadFrequently: true});
      KivetFont.metrics = new Map();
      KivetFont.masks = new Map();
      KivetFont.decoder = new TextDecoder('utf-8');
      return KivetFont.context;
    },

    use: function(height) {
      var context = KivetFont.setUp();
      context.font = height + 'px ' + KivetFont.FACE;
      context.textBaseline = 'alphabetic';
      context.textAlign = 'left';
      return context;
    },

    // Whole pixels above and below the baseline, rounded up.
    metricsFor: function(height) {
      KivetFont.setUp();
      var known = KivetFont.metrics.get(height);
      if (known) return known;
      var measure = KivetFont.use(height).measureText('Hg');
      var ascent = measure.fontBoundingBoxAscent;
      var descent = measure.fontBoundingBoxDescent;
      if (!(ascent >= 0) || !(descent >= 0)) {  // a browser without font metrics
        ascent = height * 0.93;
        descent = height * 0.24;
      }
      known = {ascent: Math.ceil(ascent - 0.01), descent: Math.ceil(descent - 0.01)};
      KivetFont.metrics.set(height, known);
      return known;
    },

    // Control characters are ordinary characters drawn as the box of a
    // missing glyph: the canvas would turn tabs and line ends into spaces
    // and draw nothing for the others, so each is shown as a character no
    // font has.
    shown: function(text) {
      return text.replace(/[\u0000-\u001f\u007f-\u009f]/g, '\uFFFF');
    },

    // The glyph pixels of one line, relative to its top-left corner.
    mask: function(text, height) {
      var key = height + '\u0000' + text;
      var mask = KivetFont.masks.get(key);
      if (mask) {
        KivetFont.masks.delete(key);  // kept as the most recently used
        KivetFont.masks.set(key, mask);
        return mask;
      }
      var metrics = KivetFont.metricsFor(height);
      var context = KivetFont.use(height);
      var shown = KivetFont.shown(text);
      var measure = context.measureText(shown);
      var pad = Math.ceil(height / 2) + 2;
      var left = Math.ceil(Math.max(0, measure.actualBoundingBoxLeft || 0)) + pad;
      var width = Math.min(32767, left + Math.ceil(Math.max(measure.width, measure.actualBoundingBoxRight || 0)) + pad);
      var rows = metrics.ascent + metrics.descent + 2 * pad;
      var canvas = context.canvas;
      if (canvas.width < width || canvas.height < rows) {
        canvas.width = Math.max(canvas.width, width);
        canvas.height = Math.max(canvas.height, rows);
        context = KivetFont.use(height);
      }
      context.clearRect(0, 0, width, rows);
      context.fillStyle = '#000';
      context.fillText(shown, left, pad + metrics.ascent);
      var alpha = context.getImageData(0, 0, width, rows).data;
      var points = [];
      for (var y = 0; y < rows; y++) {
        for (var x = 0; x < width; x++) {
          if (alpha[(y * width + x) * 4 + 3] >= 128) points.push(x - left, y - pad);
        }
      }
      mask = {points: new Int16Array(points)};
      KivetFont.masks.set(key, mask);
      if (KivetFont.masks.size > KivetFont.KEPT) {
        KivetFont.masks.delete(KivetFont.masks.keys().next().value);
      }
      return mask;
    },

    draw: function(pixels, width, rows, left, top, text, height, color) {
      var points = KivetFont.mask(text, height).points;
      var heap = HEAPU32;
      var base = pixels >> 2;
      for (var i = 0; i < points.length; i += 2) {
        var x = left + points[i];
        var y = top + points[i + 1];
        if (x >= 0 && x < width && y >= 0 && y < rows) heap[base + y * width + x] = color;
      }
    },
  },

  kivet_canvas_line_height__deps: ['$KivetFont'],
  kivet_canvas_line_height: function(height) {
    var metrics = KivetFont.metricsFor(height);
    return metrics.ascent + metrics.descent;
  },

  kivet_canvas_draw_line__deps: ['$KivetFont'],
  kivet_canvas_draw_line: function(pixels, width, rows, left, top, utf8, length, height, color) {
    KivetFont.setUp();
    var text = KivetFont.decoder.decode(HEAPU8.subarray(utf8, utf8 + length));
    KivetFont.draw(pixels, width, rows, left, top, text, height, color >>> 0);
  },
});
