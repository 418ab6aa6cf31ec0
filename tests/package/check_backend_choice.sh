#!/bin/sh
# How a program built against the library starts without a display, with a
# display that cannot be opened, with an unknown backend, and with a
# snapshot that cannot be written:
#   check_backend_choice.sh PROGRAM WORK
set -eu
program=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work"

fail() {
  echo "$*"
  echo "standard error was:"
  cat stderr.txt
  exit 1
}

run() {
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$@" "$program" </dev/null >stdout.txt 2>stderr.txt ||
    status=$?
}

run -u KIVET_BACKEND
[ "$status" -eq 1 ] || fail "no display: status $status, not 1"
[ "$(wc -l <stderr.txt)" -eq 1 ] || fail "no display: not one line on standard error"
grep -q 'desktop' stderr.txt && grep -q 'KIVET_BACKEND=headless' stderr.txt ||
  fail "no display: the line does not name both ways out"

run -u KIVET_BACKEND DISPLAY=:9999
[ "$status" -eq 1 ] || fail "unreachable display: status $status, not 1"
[ "$(wc -l <stderr.txt)" -eq 1 ] || fail "unreachable display: not one line on standard error"
grep -q 'DISPLAY=:9999' stderr.txt && grep -q 'KIVET_BACKEND=headless' stderr.txt ||
  fail "unreachable display: the line does not name the display and both ways out"

run KIVET_BACKEND=windows
[ "$status" -eq 2 ] || fail "unknown backend: status $status, not 2"
grep -q 'unknown KIVET_BACKEND "windows"' stderr.txt || fail "unknown backend: no clear error"
[ ! -s stdout.txt ] || fail "unknown backend: the program ran"

run KIVET_BACKEND=headless KIVET_SNAPSHOT="$work/missing/snapshot.png"
[ "$status" -eq 0 ] || fail "unwritable snapshot: status $status, not 0"
grep -q "cannot write the snapshot to $work/missing/snapshot.png" stderr.txt ||
  fail "unwritable snapshot: not reported"
grep -q 'Cannot open script file KIVET.SCR for reading' stdout.txt ||
  fail "unwritable snapshot: the run's own output changed"
echo "backend choice: no display, unreachable display, unknown backend and unwritable snapshot as expected"
