#!/bin/sh
# Remakes docs/text-threshold.png: the same lines at sizes 10, 12, 16, 24
# and 48, on the left as Pango drew text before the face was built in
# (DejaVu Sans, hinted, not antialiased), on the right in KIVET-font as the
# library draws it now; every pixel shown as a 2 x 2 block.
#
#   scripts/text-threshold.sh [BUILD_DIR]
#
# BUILD_DIR (build by default) must hold a built libkivet.a.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/lines.h" <<'EOF'
// The lines of the picture: their size and the anchor's y (display
// coordinates, the x is -295 for all).
struct Sample {
  int size;
  int y;
  const char* text;
};
const Sample SAMPLES[] = {
    {10, 245, "Il1|eamg Hello, W\xc3\xb6rld \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 0123456789"},
    {12, 228, "Il1|eamg Hello, W\xc3\xb6rld \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 0123456789"},
    {16, 206, "Il1|eamg Hello, W\xc3\xb6rld \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"},
    {24, 174, "Il1|eamg Hello, W\xc3\xb6rld"},
    {48, 114, "Il1|eamg W\xc3\xb6"},
};
EOF

cat >"$work/kivet_side.cpp" <<'EOF'
#include <kivet/display.h>
#include <kivet/kivet.h>
#include "lines.h"
int kivet_main() {
  Display display;
  display.clear(WHITE);
  for (const Sample& s : SAMPLES) KIVET_draw_text(BLACK, -295, s.y, s.size, s.text);
  return 0;
}
EOF

cat >"$work/pango_side.cpp" <<'EOF'
#include <pango/pangocairo.h>
#include "lines.h"
int main(int, char** argv) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 601, 540);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (const Sample& s : SAMPLES) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(font, s.size * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, s.text, -1);
    int line = 0;
    pango_layout_get_pixel_size(layout, nullptr, &line);
    // The old placement: the cell's top-left corner one line above the anchor.
    cairo_move_to(cr, 300 - 295, 257 - s.y - line);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
  }
  cairo_surface_write_to_png(surface, argv[1]);
  return 0;
}
EOF

cd "$work"
g++ -std=c++17 -O1 -I"$source_dir" -I. kivet_side.cpp "$build/libkivet.a" \
  $(pkg-config --cflags --libs gtk+-3.0 x11 wayland-client) -o kivet_side
g++ -std=c++17 -O1 -I. pango_side.cpp $(pkg-config --cflags --libs pangocairo) -o pango_side
KIVET_BACKEND=headless KIVET_SNAPSHOT=kivet.png ./kivet_side >/dev/null
./pango_side pango.png
convert=convert
[ -x /usr/bin/convert-im6 ] && convert=/usr/bin/convert-im6
for side in pango kivet; do
  "$convert" "$side.png" -crop 360x170+0+0 +repage -bordercolor '#999999' -border 1 "$side-cut.png"
done
"$convert" pango-cut.png kivet-cut.png +append -scale 200% "$source_dir/docs/text-threshold.png"
echo "wrote docs/text-threshold.png"
