#!/bin/bash
# Runs every benchmark and prints one table: measure, figure, goal, verdict.
#
#   bench/run.sh BUILD_DIR
#
# In-process figures come from BUILD_DIR/bench/frame_bench (Google
# Benchmark, headless). Whole-program figures come from BUILD_DIR/airfield,
# its spinning reference build and the GTK bench programs, each run in turn
# under an Xvfb that this script starts and stops itself.
#
# Durations, from the environment:
#   BENCH_CPU_SECONDS       processor use of the running program (60)
#   BENCH_TICK_SECONDS      intervals between periodic events (60)
#   BENCH_PLAYBACK_EVENTS   periodic events in the played script (100000)
#   BENCH_START_RUNS        starts timed to the first frame (10)
#   BENCH_MEMORY_SECONDS    run whose peak memory is read (60: the processor
#                           run; 600 for the full ten minutes)
set -u

build=${1:?usage: bench/run.sh BUILD_DIR}
build=$(cd "$build" && pwd)
cpu_seconds=${BENCH_CPU_SECONDS:-60}
tick_seconds=${BENCH_TICK_SECONDS:-60}
playback_events=${BENCH_PLAYBACK_EVENTS:-100000}
start_runs=${BENCH_START_RUNS:-10}
memory_seconds=${BENCH_MEMORY_SECONDS:-$cpu_seconds}
export NO_AT_BRIDGE=1 LC_ALL=C.UTF-8

work=$(mktemp -d)
rows=$work/rows.tsv
: >"$rows"
xvfb_pid=""
program_pid=""

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

row() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >>"$rows"; }

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -extension GLX \
    3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  export DISPLAY=":$(cat "$work/display")"
}

# Processor ticks (user + system) that a process has used so far.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
status_kib() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }

# Starts a program, lets it settle, then measures over `seconds`. Sets
# run_percent (of one core), run_hwm_kib, run_rss_early_kib, run_rss_end_kib.
measure_program() {
  local program=$1 seconds=$2 hz
  hz=$(getconf CLK_TCK)
  (cd "$work" && exec "$program") >/dev/null 2>&1 &
  program_pid=$!
  sleep 2
  local before
  before=$(cpu_ticks "$program_pid")
  run_rss_early_kib=$(status_kib "$program_pid" VmRSS)
  sleep "$seconds"
  local after
  after=$(cpu_ticks "$program_pid")
  run_hwm_kib=$(status_kib "$program_pid" VmHWM)
  run_rss_end_kib=$(status_kib "$program_pid" VmRSS)
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null
  program_pid=""
  run_percent=$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    'BEGIN {printf "%.2f", 100 * t / hz / s}')
}

mib() { awk -v k="$1" 'BEGIN {printf "%.1f MiB", k / 1024}'; }

cpu_and_memory_rows() {
  measure_program "$build/airfield" "$cpu_seconds"
  local own=$run_percent
  local hwm=$run_hwm_kib early=$run_rss_early_kib end=$run_rss_end_kib
  measure_program "$build/bench/airfield_spinning" "$cpu_seconds"
  local spinning=$run_percent
  local verdict=FAIL
  awk -v p="$own" 'BEGIN {exit !(p <= 2)}' && verdict=pass
  row "1. CPU of build/airfield, own process, ${cpu_seconds} s under Xvfb" \
    "${own}% of one core (spinning reference build: ${spinning}%)" "<= 2% of one core" "$verdict"

  if [ "$memory_seconds" != "$cpu_seconds" ]; then
    measure_program "$build/airfield" "$memory_seconds"
    hwm=$run_hwm_kib early=$run_rss_early_kib end=$run_rss_end_kib
  fi
  local note="BENCH_MEMORY_SECONDS=600 for the full 10 min"
  [ "$memory_seconds" -ge 600 ] && note="full 10-minute run"
  row "8. Peak resident memory (VmHWM) of a ${memory_seconds} s run ($note)" \
    "$(mib "$hwm") (VmRSS $(mib "$early") at 2 s, $(mib "$end") at the end)" "reported" "-"
}

print_table() {
  sort -t. -k1,1n -s "$rows" | awk -F'\t' '
    { for (i = 1; i <= 4; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    END {
      split("Measure|Figure|Goal|Result", head, "|")
      for (i = 1; i <= 4; i++) if (length(head[i]) > w[i]) w[i] = length(head[i])
      line = "|"; rule = "|"
      for (i = 1; i <= 4; i++) {
        line = line sprintf(" %-" w[i] "s |", head[i])
        dashes = ""; for (j = 0; j < w[i]; j++) dashes = dashes "-"
        rule = rule "-" dashes "-|"
      }
      print line; print rule
      for (r = 1; r <= NR; r++) {
        line = "|"
        for (i = 1; i <= 4; i++) line = line sprintf(" %-" w[i] "s |", cell[r, i])
        print line
      }
    }'
}

load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

echo "== In-process benchmarks (headless)"
"$build/bench/frame_bench" --rows="$rows" || exit 1

echo "== Whole-program benchmarks (Xvfb)"
start_xvfb
echo "-- start-up to first frame, $start_runs runs"
"$build/bench/first_frame" "$build/airfield" "$start_runs" >>"$rows"
echo "-- processor use and memory, ${cpu_seconds} s each"
cpu_and_memory_rows
echo "-- periodic event intervals, ${tick_seconds} s"
"$build/bench/gtk_driver" ticks "$tick_seconds" >>"$rows"
echo "-- script playback, $playback_events periodic events"
(cd "$work" && "$build/bench/gtk_driver" playback "$playback_events") >>"$rows"

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
# The whole-program figures hold only for an otherwise idle machine: other
# work on its two cores shows as lost ticks and slower playback.
echo "Load average (1, 5, 15 min) at start: $load_at_start; at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
print_table
