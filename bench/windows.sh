#!/bin/bash
# The Windows build's whole-program figures under Wine, for bench/run.sh:
#
#   bench/windows.sh WINDOWS_BUILD_DIR
#
# Prints one row per measure on standard output (measure, figure, goal,
# verdict, tab separated) and its progress on standard error. Starts an
# Xvfb and a Wine prefix of its own (made first, then warmed by one start
# of the program) and stops them at the end. The first-frame probe is the
# Linux build's bench/first_frame (BENCH_LINUX_BUILD, build/ by default).
# Processor use counts Wine's own server beside the program, and shows the
# prefix's other processes (its desktop and services) apart. Durations come
# from the environment as for bench/run.sh.
set -u

windows=${1:?usage: bench/windows.sh WINDOWS_BUILD_DIR}
windows=$(cd "$windows" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
first_frame=${BENCH_LINUX_BUILD:-$source_dir/build}/bench/first_frame
cpu_seconds=${BENCH_CPU_SECONDS:-60}
tick_seconds=${BENCH_TICK_SECONDS:-60}
playback_events=${BENCH_PLAYBACK_EVENTS:-100000}
start_runs=${BENCH_START_RUNS:-10}

work=$(mktemp -d)
# The catch game reads its star from its working directory.
cp "$source_dir/examples/catch-star.png" "$work/"
xvfb_pid=""
program_pid=""
prefix_made=""

# A command in the bench's prefix; nothing else gets its variables, so that
# the prefix's processes can be told by their environment.
in_prefix() {
  env WINEPREFIX="$work/prefix" TMPDIR="$work/tmp" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"
}

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  if [ -n "$prefix_made" ]; then
    in_prefix wineserver -k 2>/dev/null
    in_prefix wineserver -w 2>/dev/null
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

say() { echo "-- windows: $*" >&2; }
row() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4"; }

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -extension GLX \
    3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat "$work/display")"
}

# Without a window manager, managed windows would wait 2 s at every hide.
make_prefix() {
  mkdir -p "$work/prefix" "$work/tmp"
  in_prefix wineserver -p 30 && prefix_made=yes
  in_prefix wineboot -i >/dev/null 2>&1 &&
    in_prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
ticks_of() {
  local p sum=0
  for p in "$@"; do sum=$((sum + $(cpu_ticks "$p"))); done
  echo "$sum"
}
prefix_processes() {
  local p
  for p in /proc/[0-9]*; do
    grep -qxz "WINEPREFIX=$work/prefix" "$p/environ" 2>/dev/null && echo "${p#/proc/}"
  done
}
is_server() { case "$(cat "/proc/$1/comm" 2>/dev/null)" in wineserver*) return 0 ;; esac; return 1; }
percent() { awk -v t="$1" -v hz="$(getconf CLK_TCK)" -v s="$2" 'BEGIN {printf "%.2f", 100 * t / hz / s}'; }

# Runs a program (airfield.exe by default) for `seconds` after 2 s of
# settling; sets cpu_own, cpu_server and cpu_others (% of one core) and
# hwm_kib.
measure_airfield() {
  local seconds=$1 program=${2:-$windows/airfield.exe}
  (cd "$work" && exec env WINEPREFIX="$work/prefix" TMPDIR="$work/tmp" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wine "$program") \
    >/dev/null 2>&1 &
  program_pid=$!
  sleep 2
  local server_pid="" other_pids="" p
  for p in $(prefix_processes); do
    [ "$p" = "$program_pid" ] && continue
    if is_server "$p"; then server_pid=$p; else other_pids="$other_pids $p"; fi
  done
  local own0 server0 others0
  own0=$(ticks_of "$program_pid") server0=$(ticks_of $server_pid) others0=$(ticks_of $other_pids)
  sleep "$seconds"
  cpu_own=$(percent $(($(ticks_of "$program_pid") - own0)) "$seconds")
  cpu_server=$(percent $(($(ticks_of $server_pid) - server0)) "$seconds")
  cpu_others=$(percent $(($(ticks_of $other_pids) - others0)) "$seconds")
  hwm_kib=$(awk '$1 == "VmHWM:" {print $2}' "/proc/$program_pid/status")
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null
  program_pid=""
}

# A row of the bench programs (number, figure, verdict) with its measure
# and goal.
with_goal() {
  tr -d '\r' | awk -F'\t' -v measure="$1" -v goal="$2" '{printf "%s\t%s\t%s\t%s\n", measure, $2, goal, $3}'
}

start_xvfb
say "a Wine prefix of the bench's own, warmed by one start"
make_prefix || { echo "the Wine prefix could not be made" >&2; exit 1; }
measure_airfield 1

say "start-up to first frame, $start_runs runs"
cat >"$work/airfield" <<SCRIPT
#!/bin/sh
exec env WINEPREFIX="$work/prefix" TMPDIR="$work/tmp" WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wine "$windows/airfield.exe"
SCRIPT
chmod +x "$work/airfield"
"$first_frame" x11 "$work/airfield" "$start_runs" 1.0 |
  with_goal "7. Start of airfield.exe to its first frame (warm prefix)" "<= 1 s"

say "processor use and memory, ${cpu_seconds} s"
measure_airfield "$cpu_seconds"
row "1. CPU of airfield.exe, ${cpu_seconds} s" \
  "$cpu_own% of one core, wineserver $cpu_server% (the prefix's other processes $cpu_others%)" \
  "reported" "-"
row "8. Peak resident memory (VmHWM) of airfield.exe" \
  "$(awk -v k="$hwm_kib" 'BEGIN {printf "%.1f MiB", k / 1024}')" "reported" "-"

say "periodic events, ${tick_seconds} s"
(cd "$work" && in_prefix wine "$windows/bench/win32_driver.exe" ticks "$tick_seconds") |
  with_goal "2. Periodic events of the running simulation, ${tick_seconds} s" \
    "$((tick_seconds * 10)) +-1, median interval 100 +-0.5 ms"

say "script playback, $playback_events periodic events, headless first"
headless=$(cd "$work" && in_prefix wine "$windows/bench/headless_playback.exe" \
  "$playback_events" | tr -d '\r')
rate=$(echo "$headless" | awk -F'\t' '{print $2 + 0}')
(cd "$work" && in_prefix wine "$windows/bench/win32_driver.exe" playback "$playback_events" \
  "$rate") | with_goal "6. Script playback, $playback_events periodic events, real window" \
  ">= 90% of row 6h"
echo "$headless" | with_goal "6h. The same script, headless backend under Wine" "the limit for row 6"

say "catch (16 ms tick), processor use ${cpu_seconds} s"
measure_airfield "$cpu_seconds" "$windows/examples/catch.exe"
both=$(awk -v a="$cpu_own" -v b="$cpu_server" 'BEGIN {printf "%.2f", a + b}')
row "c1. CPU of catch.exe (16 ms tick) with wineserver, ${cpu_seconds} s" \
  "$both% of one core: own $cpu_own%, wineserver $cpu_server% (the prefix's other processes $cpu_others%)" \
  "<= 5% of one core" "$(awk -v p="$both" 'BEGIN {print (p <= 5) ? "pass" : "FAIL"}')"

say "catch (16 ms tick), ticks ${tick_seconds} s"
(cd "$work" && BENCH_TICK_SECONDS=$tick_seconds in_prefix wine "$windows/bench/catch_ticks.exe") |
  grep '^c2' | with_goal "c2. Ticks of catch.exe (16 ms tick), ${tick_seconds} s" \
    "$(awk -v s="$tick_seconds" 'BEGIN {printf "%.0f", s * 1000 / 16}') +-2"
