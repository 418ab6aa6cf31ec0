#!/bin/sh
# Installs the Debian packages that the named groups of work need, when any
# of them is missing; runs apt-get only when something is absent.
#
#   scripts/install-deps.sh GROUP...
#
#   build    building and running the airfield and the library on Linux
#   windows  cross-building the Windows programs (MinGW-w64)
#   web      building the web pages (emscripten)
#   test     everything the tests need: the build's packages, GoogleTest,
#            the sanitizers' clang, the display servers, Wine and Chromium
#   bench    everything the benchmarks need
set -e
build="cmake make g++ pkg-config libgtk-3-dev libcairo2-dev libpango1.0-dev libx11-dev \
libwayland-dev fonts-dejavu-core"
windows="cmake make g++-mingw-w64-x86-64-posix"
web="cmake make emscripten"
# sway, wtype and grim: a Wayland session whose seat takes input, and its
# pictures.
displays="xvfb xauth xdotool x11-apps x11-xkb-utils imagemagick weston sway wtype grim"
wine="wine wine64"
browser="chromium chromium-driver python3-selenium"
# fonts-wqy-microhei: a face for Chinese text, which the library hands to
# the system's fonts.
test="$build $windows $web $displays $wine $browser libgtest-dev libgmock-dev clang libclang-rt-14-dev \
fonts-wqy-microhei"
# libstb-dev: the tree of the previous version, which bench/run.sh builds
# beside this one, took the stb headers from Debian.
bench="$build $windows $web $displays $wine $browser libbenchmark-dev libstb-dev"

[ $# -gt 0 ] || { echo "usage: $0 build|windows|web|test|bench..." >&2; exit 2; }
packages=""
for group in "$@"; do
  case "$group" in
    build) packages="$packages $build" ;;
    windows) packages="$packages $windows" ;;
    web) packages="$packages $web" ;;
    test) packages="$packages $test" ;;
    bench) packages="$packages $bench" ;;
    *) echo "$0: unknown group \"$group\"" >&2; exit 2 ;;
  esac
done
missing=""
for p in $(printf '%s\n' $packages | sort -u); do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $p" ;;
  esac
done
[ -z "$missing" ] && exit 0
echo "Installing missing packages:$missing"
if [ "$(id -u)" -ne 0 ]; then
  echo "Not root: install these packages first:$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing
