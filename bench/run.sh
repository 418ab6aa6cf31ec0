#!/bin/bash
# Runs every benchmark and prints tables of measure, figure, goal and
# verdict: the in-process figures; rows 3, 3t and 6h against the tree
# before this one; the whole-program figures for X11 and Wayland side by
# side; and a table for each other platform whose build is there (Windows
# under Wine, the browser in headless Chromium).
#
#   bench/run.sh BUILD_DIR
#
# In-process figures come from BUILD_DIR/bench/frame_bench (Google
# Benchmark, headless). Whole-program figures come from BUILD_DIR/airfield,
# its spinning reference build and the GTK bench programs, each run in turn
# under an Xvfb and then under a headless weston, with its GL renderer and
# then with its pixman renderer, that this script starts and stops itself,
# and from BUILD_DIR/bench/headless_playback, the same script played with the
# headless backend right before each real-window playback.
#
# The tree before: BENCH_BASELINE (a git revision; by default the commit that
# set the previous version in CHANGELOG.md, the newest version there that is
# not this tree's own, found from the history, so every clone has it) is
# checked out and built here, and its frame_bench and headless_playback run
# in turn with this tree's, BENCH_COMPARE_ROUNDS times (3) each, so that both
# see the same machine. Its frame_bench is built from this tree's
# bench/frame_bench.cpp when that builds against it (so that both run the
# same measures, the text call among them), else from its own. When it
# cannot be found or built, its rows say so and fail, and so does this
# script.
#
# Row 10, kivet-check on a class of 100 programs against their bare runs,
# comes from bench/check.sh.
#
# Other platforms: bench/windows.sh and bench/browser.sh, when present and
# given their build folders (BENCH_WINDOWS_BUILD, build-windows by default;
# BENCH_WEB_BUILD, build-web), print their own rows (measure, figure, goal,
# verdict, tab separated).
#
# Durations, from the environment:
#   BENCH_CPU_SECONDS       processor use of the running program (60)
#   BENCH_SPIN_SECONDS      processor use of the spinning reference (10)
#   BENCH_TICK_SECONDS      periodic events and their intervals (60)
#   BENCH_PLAYBACK_EVENTS   periodic events played in all (100000), in
#   BENCH_PLAYBACK_ROUNDS   rounds of headless and then window playback (3)
#   BENCH_START_RUNS        starts timed to the first frame (10)
#   BENCH_MEMORY_SECONDS    run whose peak memory is read (60: the processor
#                           run; 600 for the full ten minutes)
#   BENCH_COMPARE_EVENTS    periodic events per playback against the tree
#                           before (20000)
set -u

build=${1:?usage: bench/run.sh BUILD_DIR}
build=$(cd "$build" && pwd)
cpu_seconds=${BENCH_CPU_SECONDS:-60}
spin_seconds=${BENCH_SPIN_SECONDS:-10}
tick_seconds=${BENCH_TICK_SECONDS:-60}
playback_events=${BENCH_PLAYBACK_EVENTS:-100000}
playback_rounds=${BENCH_PLAYBACK_ROUNDS:-3}
round_events=$((playback_events / playback_rounds))
start_runs=${BENCH_START_RUNS:-10}
memory_seconds=${BENCH_MEMORY_SECONDS:-$cpu_seconds}
compare_events=${BENCH_COMPARE_EVENTS:-20000}
compare_rounds=${BENCH_COMPARE_ROUNDS:-3}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

# The commit that added the heading of the newest version in CHANGELOG.md
# other than the one CMakeLists.txt gives this tree, and that version.
previous_version_commit() {
  local current previous
  current=$(sed -n 's/^project(kivet VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
  previous=$(sed -n 's/^## \[\([0-9][0-9.]*\)\].*/\1/p' "$source_dir/CHANGELOG.md" |
    grep -vxF "$current" | head -n 1)
  [ -n "$previous" ] || return 1
  git -C "$source_dir" log --format=%h -S"## [$previous]" -- CHANGELOG.md | tail -n 1 |
    sed "s/\$/ (version $previous)/"
}
if [ -n "${BENCH_BASELINE:-}" ]; then
  baseline_ref=$BENCH_BASELINE
  baseline_name=$BENCH_BASELINE
else
  baseline_name=$(previous_version_commit) || baseline_name=""
  baseline_ref=${baseline_name%% *}
fi
failed=0
export NO_AT_BRIDGE=1 LC_ALL=C.UTF-8

work=$(mktemp -d)
# The catch game reads its star from its working directory.
cp "$source_dir/examples/catch-star.png" "$work/"
rows=$work/rows.tsv
: >"$rows"
xvfb_pid=""
weston_pid=""
program_pid=""

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  [ -d "$work/baseline" ] && git -C "$source_dir" worktree remove --force "$work/baseline"
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
  export DISPLAY=":$(cat "$work/display")" GDK_BACKEND=x11
  unset WAYLAND_DISPLAY
}

stop_xvfb() {
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  unset DISPLAY
}

# A headless weston with a runtime directory and socket of its own, with
# the renderer given (pixman or gl); --debug lets weston-screenshooter
# capture its output. Fails when it does not come up.
start_weston() {
  export XDG_RUNTIME_DIR=$work/runtime-$1
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  local socket=kivet-bench-$$-$1
  weston --backend=headless-backend.so --use-"$1" --socket="$socket" --width=1280 \
    --height=1024 --debug --no-config --idle-time=0 >"$work/weston-$1.log" 2>&1 &
  weston_pid=$!
  export WAYLAND_DISPLAY=$socket GDK_BACKEND=wayland
  for _ in $(seq 200); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && (cd "$work" && weston-screenshooter >/dev/null 2>&1) &&
      rm -f "$work"/wayland-screenshot-*.png && return 0
    sleep 0.05
  done
  stop_weston
  return 1
}

stop_weston() {
  kill "$weston_pid" 2>/dev/null
  wait "$weston_pid" 2>/dev/null
  weston_pid=""
  unset WAYLAND_DISPLAY
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

# Whole-program rows for one display server, as "number<TAB>figure<TAB>verdict"
# lines in $work/COLUMN.tsv. KIND is x11 or wayland; with "reported" only
# rows 1 and 6 are measured, and none is judged.
whole_program_rows() {
  local column=$1 kind=$2 judged=${3:-judged} out=$work/$1.tsv
  : >"$out"
  if [ "$judged" = judged ]; then
    echo "-- $column: start-up to first frame, $start_runs runs"
    "$build/bench/first_frame" "$kind" "$build/airfield" "$start_runs" >>"$out" \
      2>>"$work/stderr.log"
  fi

  echo "-- $column: processor use and memory, ${cpu_seconds} s (spinning reference ${spin_seconds} s)"
  measure_program "$build/airfield" "$cpu_seconds"
  local own=$run_percent hwm=$run_hwm_kib early=$run_rss_early_kib end=$run_rss_end_kib
  measure_program "$build/bench/airfield_spinning" "$spin_seconds"
  local verdict=FAIL
  awk -v p="$own" 'BEGIN {exit !(p <= 2)}' && verdict=pass
  [ "$judged" = judged ] || verdict=-
  printf '1\t%s%% of one core (spinning reference build: %s%%)\t%s\n' "$own" "$run_percent" \
    "$verdict" >>"$out"
  if [ "$judged" = judged ]; then
    if [ "$memory_seconds" != "$cpu_seconds" ]; then
      measure_program "$build/airfield" "$memory_seconds"
      hwm=$run_hwm_kib early=$run_rss_early_kib end=$run_rss_end_kib
    fi
    printf '8\t%s (VmRSS %s at 2 s, %s at the end)\t-\n' "$(mib "$hwm")" "$(mib "$early")" \
      "$(mib "$end")" >>"$out"

    echo "-- $column: periodic events, ${tick_seconds} s"
    "$build/bench/gtk_driver" ticks "$tick_seconds" >>"$out" 2>>"$work/stderr.log"

    # The catch game at its 16 ms tick: the example itself.
    echo "-- $column: catch, processor use ${cpu_seconds} s"
    measure_program "$build/examples/catch" "$cpu_seconds"
    verdict=FAIL
    awk -v p="$run_percent" 'BEGIN {exit !(p <= 5)}' && verdict=pass
    printf 'c1\t%s%% of one core\t%s\n' "$run_percent" "$verdict" >>"$out"

    echo "-- $column: catch, ticks ${tick_seconds} s"
    (cd "$work" && BENCH_TICK_SECONDS=$tick_seconds exec "$build/bench/catch_ticks") \
      2>>"$work/stderr.log" | grep '^c2' >>"$out"
  fi

  # Rounds of the headless playback and then the window's, each against
  # the headless rate just before it; the round with the median share
  # stands, so that a burst of other work on the machine in one round does
  # not decide the row.
  echo "-- $column: script playback, $playback_rounds rounds of $round_events periodic events, headless first"
  local round shares="" rounds_file=$work/$1-rounds.tsv
  : >"$rounds_file"
  for round in $(seq "$playback_rounds"); do
    local headless rate played
    headless=$(cd "$work" && "$build/bench/headless_playback" "$round_events")
    rate=$(echo "$headless" | awk -F'\t' '{print $2 + 0}')
    played=$(cd "$work" && "$build/bench/gtk_driver" playback "$round_events" "$rate" \
      2>>"$work/stderr.log")
    # share, headless row, window row
    printf '%s\t%s\t%s\n' "$(echo "$played" | sed -n 's/.*, \([0-9]*\)% of headless.*/\1/p')" \
      "$(echo "$headless" | tr '\t' '|')" "$(echo "$played" | tr '\t' '|')" >>"$rounds_file"
    shares="$shares $(tail -n 1 "$rounds_file" | cut -f1)%"
  done
  sort -n -k1,1 "$rounds_file" | sed -n "$(( (playback_rounds + 1) / 2 ))p" >"$rounds_file.median"
  cut -f2 "$rounds_file.median" | tr '|' '\t' >>"$out"
  cut -f3 "$rounds_file.median" | tr '|' '\t' |
    awk -F'\t' -v OFS='\t' -v s="$shares" '{$2 = $2 "; median round of" s; print}' >>"$out"
  if [ "$judged" != judged ]; then
    awk -F'\t' -v OFS='\t' '$1 == "6" {$3 = "-"} {print}' "$out" >"$out.new" && mv "$out.new" "$out"
  fi
}

# The figure and verdict of row `number` in a server's rows.
cell() { awk -F'\t' -v n="$2" '$1 == n {print $2; exit}' "$work/$1.tsv"; }
verdict() { awk -F'\t' -v n="$2" '$1 == n {print $3; exit}' "$work/$1.tsv"; }

side_by_side_rows() {
  local number measure goal
  while IFS='|' read -r number measure goal; do
    local x w
    x=$(verdict x11 "$number")
    w=$(verdict wayland-gl "$number")
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$measure" "$(cell x11 "$number")" \
      "$(cell wayland-gl "$number")" "$(cell wayland-pixman "$number")" "$goal" \
      "${x:-FAIL} / ${w:-FAIL}"
  done <<EOF
1|1. CPU of build/airfield, own process, ${cpu_seconds} s|<= 2% of one core
2|2. Periodic events of the running simulation, ${tick_seconds} s|$((tick_seconds * 10)) +-1, median interval 100 +-0.5 ms
6|6. Script playback, ${round_events} periodic events, real window, median of ${playback_rounds} rounds|>= 90% of row 6h
6h|6h. The same script, headless backend, just before row 6 in the same round|the limit for row 6
7|7. Start of build/airfield to its first frame|<= 0.5 s
8|8. Peak resident memory (VmHWM) of a ${memory_seconds} s run|reported
c1|c1. CPU of build/examples/catch (16 ms tick), own process, ${cpu_seconds} s|<= 5% of one core
c2|c2. Ticks of the catch game (16 ms tick), ${tick_seconds} s|$(awk -v s="$tick_seconds" 'BEGIN {printf "%.0f", s * 1000 / 16}') +-2
EOF
}

print_table() {
  local columns=$1 file=$2
  awk -F'\t' -v columns="$columns" '
    BEGIN { n = split(columns, head, "|") }
    { for (i = 1; i <= n; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    END {
      for (i = 1; i <= n; i++) if (length(head[i]) > w[i]) w[i] = length(head[i])
      line = "|"; rule = "|"
      for (i = 1; i <= n; i++) {
        line = line sprintf(" %-" w[i] "s |", head[i])
        dashes = ""; for (j = 0; j < w[i]; j++) dashes = dashes "-"
        rule = rule "-" dashes "-|"
      }
      print line; print rule
      for (r = 1; r <= NR; r++) {
        line = "|"
        for (i = 1; i <= n; i++) line = line sprintf(" %-" w[i] "s |", cell[r, i])
        print line
      }
    }' "$file"
}

# The median of the numbers in a file, one per line.
median_of() { sort -g "$1" | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# The tree before's frame_bench, from this tree's source when it builds
# there, else from its own.
build_baseline_frame_bench() {
  local base=$1
  cp "$source_dir/bench/frame_bench.cpp" "$base/bench/frame_bench.cpp"
  cmake --build "$base/build" -j2 --target frame_bench >>"$work/baseline.log" 2>&1 && return 0
  echo "this tree's frame_bench.cpp does not build there; its own is used" >>"$work/baseline.log"
  git -C "$base" checkout -q -- bench/frame_bench.cpp
  cmake --build "$base/build" -j2 --target frame_bench >>"$work/baseline.log" 2>&1
}

# Rows 3, 3t and 6h of this tree beside those of the tree before it, built
# from BENCH_BASELINE and run in turn with this tree's programs.
compare_with_baseline() {
  local out=$work/baseline.tsv base=$work/baseline
  : >"$out"
  echo "== Against the tree before (${baseline_name:-none found}): rows 3, 3t and 6h, $compare_rounds rounds"
  if [ -z "$baseline_ref" ]; then
    printf '3/6h. Against the tree before\tnot built: no previous version found in CHANGELOG.md and its history (set BENCH_BASELINE)\tbuilt and measured\tFAIL\n' >>"$out"
    failed=1
    return
  fi
  if ! git -C "$source_dir" worktree add --detach -q "$base" "$baseline_ref" 2>"$work/baseline.log" ||
     ! cmake -S "$base" -B "$base/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVET_BUILD_GTK=OFF \
       -DBUILD_TESTING=OFF -DKIVET_BUILD_BENCH=ON >>"$work/baseline.log" 2>&1 ||
     ! cmake --build "$base/build" -j2 --target headless_playback >>"$work/baseline.log" 2>&1 ||
     ! build_baseline_frame_bench "$base"; then
    printf '3/6h. Against %s\tnot built (see the log above)\tbuilt and measured\tFAIL\n' \
      "$baseline_name" >>"$out"
    cat "$work/baseline.log" >&2
    failed=1
    return
  fi
  local round tree
  for round in $(seq "$compare_rounds"); do
    for tree in before this; do
      local dir=$build
      [ "$tree" = before ] && dir=$base/build
      rm -f "$work/rows-$tree.tsv"
      "$dir/bench/frame_bench" --benchmark_filter='airfield_update/waiting:3/logging:0|text_line' \
        --rows="$work/rows-$tree.tsv" >/dev/null 2>&1
      awk -F'\t' '/^3\. /{print $2}' "$work/rows-$tree.tsv" |
        awk '{print $2}' >>"$work/frame-$tree.txt"
      awk -F'\t' '/^3t\. /{print $2}' "$work/rows-$tree.tsv" |
        awk '{print $2}' >>"$work/text-$tree.txt"
      (cd "$work" && "$dir/bench/headless_playback" "$compare_events") |
        awk -F'\t' '{print $2 + 0}' >>"$work/playback-$tree.txt"
    done
  done
  local frame_before frame_this play_before play_this
  frame_before=$(median_of "$work/frame-before.txt")
  frame_this=$(median_of "$work/frame-this.txt")
  play_before=$(median_of "$work/playback-before.txt")
  play_this=$(median_of "$work/playback-this.txt")
  awk -v b="$frame_before" -v t="$frame_this" -v ref="$baseline_ref" -v n="$compare_rounds" \
    'BEGIN {printf "3. Airfield update, 3 busy runways, median of %d runs\t%.3f ms (%s: %.3f ms, %.0f%%)\tno slower than %s (within 5%%)\t%s\n",
            n, t, ref, b, 100 * t / b, ref, (t <= 1.05 * b) ? "pass" : "FAIL"}' >>"$out"
  if [ -s "$work/text-before.txt" ] && [ -s "$work/text-this.txt" ]; then
    awk -v b="$(median_of "$work/text-before.txt")" -v t="$(median_of "$work/text-this.txt")" \
      -v ref="$baseline_ref" -v n="$compare_rounds" \
      'BEGIN {printf "3t. Text, one call drawing 40 characters at size 20, median of %d runs\t%.1f us (%s: %.1f us, %.0f%%)\tno slower than %s (within 5%%)\t%s\n",
              n, t, ref, b, 100 * t / b, ref, (t <= 1.05 * b) ? "pass" : "FAIL"}' >>"$out"
  else
    printf '3t. Text, one call drawing 40 characters at size 20\tnot measured in %s\t-\t-\n' \
      "$baseline_ref" >>"$out"
  fi
  awk -v b="$play_before" -v t="$play_this" -v ref="$baseline_ref" -v n="$compare_rounds" \
    -v e="$compare_events" \
    'BEGIN {printf "6h. Headless playback of %d periodic events, median of %d runs\t%.0f events/s (%s: %.0f events/s, %.0f%%)\tno slower than %s (within 5%%)\t%s\n",
            e, n, t, ref, b, 100 * t / b, ref, (t >= 0.95 * b) ? "pass" : "FAIL"}' >>"$out"
}

# Another platform's rows, from its own bench script given its build folder.
other_platform_rows() {
  local platform=$1 dir=$2 script=$source_dir/bench/$1.sh
  [ -x "$script" ] && [ -d "$dir" ] || return 0
  echo "== Whole-program benchmarks, $platform"
  "$script" "$dir" >"$work/$platform.tsv" || echo "$script failed" >&2
}

load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

echo "== In-process benchmarks (headless)"
"$build/bench/frame_bench" --rows="$rows" || exit 1

compare_with_baseline

echo "== kivet-check on a class of programs, against their bare headless runs"
"$source_dir/bench/check.sh" "$build" >>"$rows" || failed=1

echo "== Whole-program benchmarks, X11 (Xvfb)"
start_xvfb
whole_program_rows x11 x11
stop_xvfb

# Weston's GL renderer uploads each client buffer and gives it back at once,
# as the desktops' compositors (GNOME's, KDE's) do: the goals are judged
# there. Its pixman renderer reads each buffer in place until the next one
# comes, so GTK must fill a fresh buffer for every frame: rows 1 and 6 are
# reported for it as well.
for renderer in gl pixman; do
  echo "== Whole-program benchmarks, Wayland (headless weston, $renderer renderer)"
  if ! start_weston "$renderer"; then
    echo "weston ($renderer renderer) did not start:" >&2
    cat "$work/weston-$renderer.log" >&2
    exit 1
  fi
  if [ "$renderer" = gl ]; then
    whole_program_rows wayland-gl wayland
  else
    whole_program_rows wayland-pixman wayland reported
  fi
  stop_weston
done

other_platform_rows windows "${BENCH_WINDOWS_BUILD:-$source_dir/build-windows}"
other_platform_rows browser "${BENCH_WEB_BUILD:-$source_dir/build-web}"

side_by_side_rows >"$work/side.tsv"

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
# The whole-program figures hold only for an otherwise idle machine: other
# work on its cores shows as late ticks and slower playback.
echo "Load average (1, 5, 15 min) at start: $load_at_start; at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
sort -t. -k1,1n -s "$rows" >"$work/in_process.tsv"
print_table "Measure|Figure|Goal|Result" "$work/in_process.tsv"
echo
print_table "Measure|Figure|Goal|Result" "$work/baseline.tsv"
echo
print_table "Measure|X11 (Xvfb)|Wayland, GL renderer|Wayland, pixman renderer|Goal|Result (X11 / Wayland GL)" \
  "$work/side.tsv"
for platform in windows browser; do
  if [ -s "$work/$platform.tsv" ]; then
    echo
    print_table "Measure ($platform)|Figure|Goal|Result" "$work/$platform.tsv"
  fi
done

# A tree before that could not be built fails the run.
exit "$failed"
