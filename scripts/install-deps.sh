#!/bin/sh
# Installs the Debian packages the build, the program and its tests need,
# when any of them is missing. Runs apt-get only when something is absent.
# fonts-wqy-microhei is for the tests alone: a face for Chinese text, which
# the library hands to the system's fonts.
set -e
packages="cmake make g++ pkg-config libgtk-3-dev libcairo2-dev libpango1.0-dev \
libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-apps \
imagemagick fonts-dejavu-core libx11-dev libwayland-dev clang libclang-rt-14-dev weston \
x11-xkb-utils fonts-wqy-microhei g++-mingw-w64-x86-64-posix wine wine64 emscripten chromium \
chromium-driver python3-selenium"
missing=""
for p in $packages; do
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
