#!/bin/sh
# Remakes the pictures of the two game examples in docs/: catch (a few
# arrow presses, so that the paddle has moved, with a star falling) and
# paint (strokes dragged with the mouse), each as a real GTK window under a
# private Xvfb (docs/catch-linux.png, docs/paint-linux.png) and as the
# Windows build under Wine on a private Xvfb (docs/catch-windows.png,
# docs/paint-windows.png). The browser's pictures come from
# scripts/screenshot-games-browser.py, which this script runs last when the
# web build is there.
# Usage: scripts/screenshot-games.sh [BUILD_DIR] [WINDOWS_BUILD_DIR] [WEB_BUILD_DIR]
set -e
build=${1:-build}
windows_build=${2:-build-windows}
web_build=${3:-build-web}
here=$(cd "$(dirname "$0")/.." && pwd)
display=:$(( 70 + $$ % 20 ))
work=$(mktemp -d)
export NO_AT_BRIDGE=1 LC_ALL=C.UTF-8 DISPLAY=$display
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -extension GLX >/dev/null 2>&1 &
xvfb=$!
app=""
wine_up=""
# Under set -e a failing command ends the trap too: each step is made to succeed.
trap 'if [ -n "$app" ]; then kill $app 2>/dev/null || :; fi
  if [ -n "$wine_up" ]; then wineserver -k || :; wineserver -w || :; fi
  kill $xvfb || :; rm -rf "$work"' EXIT
sleep 0.5
mkdir -p "$here/docs"

# The graphics window's id once it is on the screen, waiting up to SECONDS;
# without it the input would go to the bare screen and the picture show
# nothing, so the script stops there.
graphics_window() {
  tries=$(( $1 * 10 ))
  while [ "$tries" -gt 0 ]; do
    found=$(xdotool search --name 'KIVET Graphics' 2>/dev/null | head -n 1)
    if [ -n "$found" ]; then echo "$found"; return 0; fi
    sleep 0.1
    tries=$(( tries - 1 ))
  done
  echo "$0: no graphics window after $1 s" >&2
  return 1
}

# The input each game gets once its window is up; LEFT TOP is where the
# window's client area starts on the screen.
play_catch() {
  sleep 0.6
  xdotool keydown Left; sleep 0.5; xdotool keyup Left
  sleep 0.2
  xdotool keydown Right; sleep 0.8; xdotool keyup Right
  sleep 0.3
}
play_paint() {
  left=$1 top=$2
  xdotool mousemove $((left + 80)) $((top + 300)) mousedown 1
  for i in $(seq 1 40); do
    xdotool mousemove $((left + 80 + i * 10)) $((top + 300 - (i * i) / 8 + i * 3))
    sleep 0.02
  done
  xdotool mouseup 1
  xdotool key r
  xdotool mousemove $((left + 100)) $((top + 420)) mousedown 1
  for i in $(seq 1 40); do
    xdotool mousemove $((left + 100 + i * 10)) $((top + 420 - (i % 10) * 6))
    sleep 0.02
  done
  xdotool mouseup 1
  sleep 0.5
}

# Linux: the GTK window at the screen's top left, 601 x 540 with its menu
# bar; focus follows the pointer, so it is moved into the window first.
cp "$here/examples/catch-star.png" "$work/"
for game in catch paint; do
  (cd "$work" && exec "$here/$build/examples/$game") >/dev/null 2>&1 &
  app=$!
  sleep 1.5
  xdotool mousemove 300 300
  if [ "$game" = catch ]; then play_catch; else play_paint 0 25; fi
  xwd -root -silent | convert-im6 xwd:- -crop 601x540+0+0 +repage png:"$here/docs/$game-linux.png"
  kill $app; wait $app 2>/dev/null || true; app=""
  echo "wrote docs/$game-linux.png"
done

# Windows under Wine, with a prefix of its own; no window manager, so Wine
# draws the frame, and the client area starts at (3, 41).
if [ -f "$here/$windows_build/examples/catch.exe" ]; then
  mkdir "$work/prefix" "$work/tmp"
  export WINEPREFIX=$work/prefix TMPDIR=$work/tmp WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  wine_up=1
  wineserver -p 30
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  for game in catch paint; do
    (cd "$work" && exec wine "$here/$windows_build/examples/$game.exe") >/dev/null 2>&1 &
    app=$!
    # The prefix's desktop process ends a few seconds after its last
    # window; the program that starts it anew waits about 10 s for its
    # window, so a fixed pause is not enough.
    window=$(graphics_window 30)
    sleep 1
    xdotool windowfocus --sync "$window"
    if [ "$game" = catch ]; then play_catch; else play_paint 3 41; fi
    import -window root -crop 607x559+0+0 +repage png:"$here/docs/$game-windows.png"
    kill $app; wait $app 2>/dev/null || true; app=""
    sleep 1
    echo "wrote docs/$game-windows.png"
  done
fi

if [ -f "$here/$web_build/examples/catch.html" ]; then
  /usr/bin/python3 "$here/scripts/screenshot-games-browser.py" "$here/$web_build"
fi
