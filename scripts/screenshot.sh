#!/bin/sh
# Remakes docs/screenshot.png: runs the simulation under a private Xvfb for a
# while, then captures the graphics window (601 x 540 at the screen's top left).
# Usage: scripts/screenshot.sh [BUILD_DIR] [SECONDS]
set -e
build=${1:-build}
seconds=${2:-25}
here=$(cd "$(dirname "$0")/.." && pwd)
display=:$(( 70 + $$ % 20 ))
export NO_AT_BRIDGE=1 LC_ALL=C.UTF-8
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -extension GLX >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null' EXIT
sleep 0.5
work=$(mktemp -d)
(cd "$work" && DISPLAY=$display exec "$here/$build/airfield") &
app=$!
sleep "$seconds"
mkdir -p "$here/docs"
DISPLAY=$display xwd -root -silent | convert-im6 xwd:- -crop 601x540+0+0 +repage \
  png:"$here/docs/screenshot.png"
rm -rf "$work"
echo "wrote docs/screenshot.png"
