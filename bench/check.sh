#!/bin/bash
# Row 10: kivet-check grading a class of 100 copies of a house-drawing
# program with --jobs 2, in seconds per program, against the bare headless
# runs of the same programs, two at a time, in the same run (each in a
# folder made beforehand with its KIVET.SCR, writing its snapshot). The
# tool's own cost (its folders, the comparison of output and pictures, the
# verdicts) should stay within 20% of the bare runs.
#
#   bench/check.sh BUILD_DIR
#
# Prints the row (measure, figure, goal, verdict, tab separated). Needs
# BUILD_DIR/kivet-check and BUILD_DIR/bench/bench_house.
#   BENCH_CHECK_PROGRAMS   programs in the class (100)
#   BENCH_CHECK_ROUNDS     rounds of both, the median taken (3)
set -u
build=$(cd "${1:?usage: bench/check.sh BUILD_DIR}" && pwd)
programs=${BENCH_CHECK_PROGRAMS:-100}
rounds=${BENCH_CHECK_ROUNDS:-3}
check=$build/kivet-check
house=$build/bench/bench_house
measure="10. kivet-check, a class of $programs house programs, --jobs 2, median of $rounds rounds"
if [ ! -x "$check" ] || [ ! -x "$house" ]; then
  printf '%s\t%s\t%s\t%s\n' "$measure" "not built" "<= 20% over the bare runs" "FAIL"
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'KIVET_PERIODIC(60);\n' >house.scr
for i in $(seq -w 1 "$programs"); do
  mkdir -p "class/s$i" "bare/s$i"
  cp "$house" "class/s$i/house"
done
"$check" --make-expected expected --script house.scr class/s001/house 2>/dev/null || exit 1

now() { date +%s.%N; }
bare_round() {
  for i in $(seq -w 1 "$programs"); do
    rm -f "bare/s$i/final.png"
    cp house.scr "bare/s$i/KIVET.SCR"
    echo "s$i"
  done >bare/list
  local start end
  start=$(now)
  xargs -P 2 -I{} sh -c 'cd bare/{} && KIVET_BACKEND=headless KIVET_SNAPSHOT=final.png \
    ../../class/{}/house </dev/null >stdout.txt 2>stderr.txt' <bare/list
  end=$(now)
  awk -v s="$start" -v e="$end" 'BEGIN {print e - s}'
}
check_round() {
  local start end
  start=$(now)
  "$check" --expected expected --jobs 2 class/*/house >verdicts.txt
  local status=$?
  end=$(now)
  [ "$status" -eq 0 ] || { echo "kivet-check: status $status" >&2; head -3 verdicts.txt >&2; }
  awk -v s="$start" -v e="$end" 'BEGIN {print e - s}'
}
: >bare.times
: >check.times
for round in $(seq 1 "$rounds"); do
  bare_round >>bare.times
  check_round >>check.times
done
median() { sort -g "$1" | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
bare=$(median bare.times)
tool=$(median check.times)
passed=$(grep -c ': pass$' verdicts.txt)
awk -v b="$bare" -v t="$tool" -v n="$programs" -v p="$passed" -v m="$measure" 'BEGIN {
  over = 100 * (t / b - 1)
  printf "%s\t%.1f ms a program (bare runs: %.1f ms; %+.0f%%), %d of %d pass\t<= 20%% over the bare runs\t%s\n",
         m, 1000 * t / n, 1000 * b / n, over, p, n, (over <= 20 && p == n) ? "pass" : "FAIL"}'
