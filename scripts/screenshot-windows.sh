#!/bin/sh
# Remakes docs/windows.png: runs the Windows build of the simulation under
# Wine, on a private Xvfb with a Wine prefix of its own, for a while, opens
# its Run menu with Alt+R and captures the graphics window with the frame
# and menu bar that Wine draws (607 x 559 at the screen's top left).
# Usage: scripts/screenshot-windows.sh [WINDOWS_BUILD_DIR] [SECONDS]
set -e
build=${1:-build-windows}
seconds=${2:-25}
here=$(cd "$(dirname "$0")/.." && pwd)
display=:$(( 70 + $$ % 20 ))
work=$(mktemp -d)
mkdir "$work/prefix" "$work/tmp"
export DISPLAY=$display WINEPREFIX=$work/prefix TMPDIR=$work/tmp WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -extension GLX >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app 2>/dev/null; wineserver -k; wineserver -w; kill $xvfb; rm -rf "$work"' EXIT
wineserver -p 30
wineboot -i >/dev/null 2>&1
# No window manager: Wine draws the windows' frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
(cd "$work" && exec wine "$here/$build/airfield.exe") >/dev/null 2>&1 &
app=$!
sleep "$seconds"
xdotool windowfocus --sync "$(xdotool search --name 'KIVET Graphics' | head -n 1)"
xdotool key alt+r
sleep 1
mkdir -p "$here/docs"
import -window root -crop 607x559+0+0 +repage png:"$here/docs/windows.png"
echo "wrote docs/windows.png"
