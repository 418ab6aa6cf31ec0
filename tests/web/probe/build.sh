#!/bin/sh
# Builds the web backend's probe page into the folder given (default
# build-web-probe): the backend with stand-ins for the library.
set -e
out=${1:-build-web-probe}
root=$(cd "$(dirname "$0")/../../.." && pwd)
web=$root/kivet/platform/web
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p "$out"
em++ -std=c++17 -O2 -mbulk-memory -Wall -Wextra -fexceptions \
  -I "$root/tests/web/phase1-seams" -I "$root" \
  "$root/tests/web/probe/probe_main.cpp" "$web/web_platform.cpp" "$web/canvas_font.cpp" \
  "$web/web_only.cpp" "$web/canvas_rows.cpp" \
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 \
  -s'ASYNCIFY_IMPORTS=["kivet_page_wait","kivet_page_yield","kivet_page_sleep"]' \
  -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sMINIFY_HTML=0 -lidbfs.js \
  --js-library "$web/library_kivet_page.js" --js-library "$web/library_kivet_keys.js" \
  --js-library "$web/library_kivet_menu.js" --js-library "$web/library_kivet_font.js" \
  --js-library "$web/library_kivet_storage.js" --js-library "$web/library_kivet_canvas.js" \
  --shell-file "$web/shell.html" -o "$out/probe.html"
