// The canvas font, for the runs of characters that the library's built-in
// face lacks: text drawn by the browser on a small canvas of its own, black
// on transparent, in the browser's sans-serif face and whatever fonts it
// takes for the run's characters, and thresholded into the library's
// pixels, so that each pixel is either left as it was or becomes exactly
// the colour. Characters are `height` pixels high (the em, without internal
// leading); a run stands on the baseline it is given. Nothing is kept from
// one call to the next but the canvas itself.

mergeInto(LibraryManager.library, {
  $KivetFont: {
    context: null,
    decoder: null,

    use: function(height) {
      if (!KivetFont.context) {
        var canvas = typeof OffscreenCanvas != 'undefined' ? new OffscreenCanvas(64, 64)
                                                           : document.createElement('canvas');
        KivetFont.context = canvas.getContext('2d', {willReadFrequently: true});
        KivetFont.decoder = new TextDecoder('utf-8');
      }
      var context = KivetFont.context;
      context.font = height + 'px sans-serif';
      context.textBaseline = 'alphabetic';
      context.textAlign = 'left';
      return context;
    },

    text: function(utf8, length) {
      return KivetFont.decoder.decode(HEAPU8.subarray(utf8, utf8 + length));
    },

    // The run's glyph pixels into the bitmap, its baseline's left end at
    // (left, baseline).
    draw: function(pixels, width, rows, left, baseline, text, height, color) {
      var context = KivetFont.use(height);
      var measure = context.measureText(text);
      var pad = Math.ceil(height / 2) + 2;
      var before = Math.ceil(Math.max(0, measure.actualBoundingBoxLeft || 0)) + pad;
      var above = Math.ceil(Math.max(height, measure.actualBoundingBoxAscent || 0)) + pad;
      var below = Math.ceil(Math.max(height / 2, measure.actualBoundingBoxDescent || 0)) + pad;
      var wide = Math.min(32767, before + pad +
                          Math.ceil(Math.max(measure.width, measure.actualBoundingBoxRight || 0)));
      var tall = above + below;
      var canvas = context.canvas;
      if (canvas.width < wide || canvas.height < tall) {
        canvas.width = Math.max(canvas.width, wide);
        canvas.height = Math.max(canvas.height, tall);
        context = KivetFont.use(height);
      }
      context.clearRect(0, 0, wide, tall);
      context.fillStyle = '#000';
      context.fillText(text, before, above);
      var alpha = context.getImageData(0, 0, wide, tall).data;
      var heap = HEAPU32;
      var base = pixels >> 2;
      for (var y = 0; y < tall; y++) {
        var row = baseline - above + y;
        if (row < 0 || row >= rows) continue;
        for (var x = 0; x < wide; x++) {
          var column = left - before + x;
          if (column < 0 || column >= width) continue;
          if (alpha[(y * wide + x) * 4 + 3] >= 128) heap[base + row * width + column] = color;
        }
      }
    },
  },

  kivet_canvas_run_width__deps: ['$KivetFont'],
  kivet_canvas_run_width: function(utf8, length, height) {
    var context = KivetFont.use(height);
    return Math.round(context.measureText(KivetFont.text(utf8, length)).width);
  },

  kivet_canvas_draw_run__deps: ['$KivetFont'],
  kivet_canvas_draw_run: function(pixels, width, rows, left, baseline, utf8, length, height,
                                  color) {
    KivetFont.use(height);
    KivetFont.draw(pixels, width, rows, left, baseline, KivetFont.text(utf8, length), height,
                   color >>> 0);
  },
});
