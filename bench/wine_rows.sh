# The Windows column of bench/run.sh, which sources this file: the Windows
# build's programs under Wine on the script's Xvfb, with a Wine prefix of
# their own (made first, then warmed by one start of the program). Writes
# the same numbered rows as the other columns to $work/windows.tsv.
#
#   windows_rows WINDOWS_BUILD_DIR
#
# It uses run.sh's helpers and variables: $work, $build (the Linux build,
# for its first_frame probe), the durations, cpu_ticks, status_kib, mib.
#
# Processor use counts Wine's own server beside the program, and shows the
# prefix's other processes (its desktop and services) apart.

wine_prefix_dir=""

# A Wine command of the bench's prefix; nothing else gets its variables.
in_prefix() {
  env WINEPREFIX="$wine_prefix_dir/prefix" TMPDIR="$wine_prefix_dir/tmp" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"
}

make_wine_prefix() {
  wine_prefix_dir=$work/wine
  mkdir -p "$wine_prefix_dir/prefix" "$wine_prefix_dir/tmp"
  in_prefix wineserver -p 30
  in_prefix wineboot -i >/dev/null 2>&1 &&
    in_prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

end_wine_prefix() {
  [ -n "$wine_prefix_dir" ] || return 0
  in_prefix wineserver -k 2>/dev/null
  in_prefix wineserver -w 2>/dev/null
  wine_prefix_dir=""
}

# The processes of the bench's prefix, and the processor ticks they used.
prefix_processes() {
  local p
  for p in /proc/[0-9]*; do
    grep -qxz "WINEPREFIX=$wine_prefix_dir/prefix" "$p/environ" 2>/dev/null && echo "${p#/proc/}"
  done
}
ticks_of() { local p sum=0; for p in "$@"; do sum=$((sum + $(cpu_ticks "$p" 2>/dev/null || echo 0))); done; echo $sum; }
is_wineserver() { case "$(cat "/proc/$1/comm" 2>/dev/null)" in wineserver*) return 0 ;; esac; return 1; }

# Processor use of the running program, its server and the rest of the
# prefix, in % of one core over `seconds`; the program's peak memory.
measure_wine_program() {
  local program=$1 seconds=$2 hz
  hz=$(getconf CLK_TCK)
  (cd "$work" && exec env WINEPREFIX="$wine_prefix_dir/prefix" TMPDIR="$wine_prefix_dir/tmp" \
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wine "$program") \
    >/dev/null 2>&1 &
  program_pid=$!
  sleep 2
  local server="" others="" p
  for p in $(prefix_processes); do
    [ "$p" = "$program_pid" ] && continue
    if is_wineserver "$p"; then server=$p; else others="$others $p"; fi
  done
  local own0 server0 others0 own1 server1 others1
  own0=$(ticks_of "$program_pid") server0=$(ticks_of $server) others0=$(ticks_of $others)
  sleep "$seconds"
  own1=$(ticks_of "$program_pid") server1=$(ticks_of $server) others1=$(ticks_of $others)
  run_hwm_kib=$(status_kib "$program_pid" VmHWM)
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null
  program_pid=""
  percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.2f", 100 * t / hz / s}'; }
  wine_own=$(percent $((own1 - own0)))
  wine_server=$(percent $((server1 - server0)))
  wine_others=$(percent $((others1 - others0)))
}

windows_rows() {
  local windows_build=$1 out=$work/windows.tsv
  : >"$out"
  echo "-- windows: a Wine prefix of the bench's own, warmed by one start"
  if ! make_wine_prefix; then
    echo "the Wine prefix could not be made" >&2
    return 1
  fi
  measure_wine_program "$windows_build/airfield.exe" 1 >/dev/null

  echo "-- windows: start-up to first frame, $start_runs runs (warm prefix)"
  printf '#!/bin/sh\nexec env WINEPREFIX="%s" TMPDIR="%s" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wine "%s"\n' \
    "$wine_prefix_dir/prefix" "$wine_prefix_dir/tmp" "$windows_build/airfield.exe" \
    >"$work/airfield-wine"
  chmod +x "$work/airfield-wine"
  "$build/bench/first_frame" x11 "$work/airfield-wine" "$start_runs" 1.0 >>"$out" \
    2>>"$work/stderr.log"

  echo "-- windows: processor use and memory, ${cpu_seconds} s"
  measure_wine_program "$windows_build/airfield.exe" "$cpu_seconds"
  printf '1\t%s%% of one core, and %s%% for wineserver (the prefix'"'"'s other processes %s%%)\t-\n' \
    "$wine_own" "$wine_server" "$wine_others" >>"$out"
  printf '8\t%s\t-\n' "$(mib "$run_hwm_kib")" >>"$out"

  echo "-- windows: periodic events, ${tick_seconds} s"
  (cd "$work" && in_prefix wine "$windows_build/bench/win32_driver.exe" ticks "$tick_seconds") \
    2>>"$work/stderr.log" | tr -d '\r' >>"$out"

  echo "-- windows: script playback, $playback_events periodic events, headless first"
  local headless rate
  headless=$(cd "$work" && in_prefix wine "$windows_build/bench/headless_playback.exe" "$playback_events" |
    tr -d '\r')
  echo "$headless" >>"$out"
  rate=$(echo "$headless" | awk -F'\t' '{print $2 + 0}')
  (cd "$work" && in_prefix wine "$windows_build/bench/win32_driver.exe" playback "$playback_events" \
    "$rate") 2>>"$work/stderr.log" | tr -d '\r' >>"$out"
  printf '1g\t-\t-\n' >>"$out"
  end_wine_prefix
}
