#!/bin/sh
# A program of a user's own built for the browser with the one command the
# guide gives: the web build installed under WORK/prefix, then em++ with the
# flags of its kivet.pc. The page, its .js and its .wasm must come out.
#   check_web_route.sh SOURCE WEB_BUILD WORK
set -eu
source=$1 web=$2 work=$3

fail() {
  echo "web route: $*"
  exit 1
}

[ -f "$web/CMakeCache.txt" ] || fail "no web build in $web: run make web first"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
cmake --install "$web" --prefix "$work/prefix" >install.log || { cat install.log; fail "install failed"; }
PKG_CONFIG_PATH=$work/prefix/lib/pkgconfig
export PKG_CONFIG_PATH
em++ -std=c++17 -O2 "$source/tests/package/outside/program.cpp" $(pkg-config --cflags --libs kivet) \
  -o program.html >build.log 2>&1 || { cat build.log; fail "em++ with pkg-config failed"; }
for file in program.html program.js program.wasm; do
  [ -s "$file" ] || fail "$file was not made"
done
grep -q 'id="kivet-graphics"' program.html || fail "program.html is not the KIVET page"
echo "web route: program.html built with em++ and the installed kivet.pc"
