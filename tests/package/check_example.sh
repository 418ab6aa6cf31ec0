#!/bin/sh
# Runs one example headless and checks what it printed and drew:
#   check_example.sh PROGRAM DATA PNG_COMPARE WORK_DIR
# DATA is the example's path without extension: DATA.scr is played as
# KIVET.SCR, files named DATA-* (the pictures it reads) are beside it,
# DATA.in (when there is one) is its standard input, and its
# standard output and snapshot must equal DATA.out and DATA.png. On a
# mismatch the picture got and a difference picture stay in WORK_DIR. It
# runs with a fontconfig that has no fonts: the text must come out the same.
# With KIVET_UPDATE_EXPECTED=1 the output and the picture got become the
# expected ones instead.
set -eu
program=$1 data=$2 compare=$3 work=$4

rm -rf "$work"
mkdir -p "$work"
cd "$work"
cp "$data.scr" KIVET.SCR
for file in "$data"-*; do
  if [ -f "$file" ]; then cp "$file" .; fi
done
input=/dev/null
[ -f "$data.in" ] && input=$data.in

# A fontconfig that knows no font at all: the library's text is its own
# face, so the picture is the same as on any machine.
cat > fonts.conf <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <cachedir>$work/font-cache</cachedir>
</fontconfig>
CONF

status=0
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" FONTCONFIG_FILE="$work/fonts.conf" \
  KIVET_BACKEND=headless KIVET_SNAPSHOT=got.png "$program" <"$input" >stdout.txt 2>stderr.txt ||
  status=$?

if [ "${KIVET_UPDATE_EXPECTED:-0}" = 1 ]; then
  cp stdout.txt "$data.out"
  cp got.png "$data.png"
  echo "updated $data.out and $data.png"
  exit 0
fi

failed=0
if [ "$status" -ne 0 ]; then
  echo "$program ended with status $status"
  failed=1
fi
if [ -s stderr.txt ]; then
  echo "$program wrote to standard error:"
  cat stderr.txt
  failed=1
fi
if ! diff -u "$data.out" stdout.txt; then
  echo "standard output differs from $data.out (got: $work/stdout.txt)"
  failed=1
fi
if ! "$compare" "$data.png" got.png difference.png; then
  echo "the snapshot differs from $data.png: see $work/got.png and $work/difference.png"
  failed=1
fi
exit $failed
