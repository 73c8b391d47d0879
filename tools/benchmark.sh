#!/usr/bin/env bash
# Measures the real tracker the way a user runs it, beside two peer trackers
# from Debian, on a private Xvfb (black root window, no GPU): time to the
# first picture, CPU while idle in Standby and while playing a busy song,
# peak RSS and the program's own heap. Each program runs three times,
# interleaved, and the medians are printed with Kovo's ratios to the peers.
# Then the in-process figures: draw calls and times of the screen and the
# song file. Not part of the tests: timings on a shared machine vary.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh benchmark
tools/build.sh release kovo-tracker kovo_screen_benchmark kovo_busy_song kovo_first_picture kovo_bare_window >/dev/null

bin=build/release/bin
tools=build/release/tools
rounds=${KOVO_BENCHMARK_ROUNDS:-3}
settle_seconds=3
window_seconds=${KOVO_BENCHMARK_SECONDS:-20}
busy_song=kovo_benchmark_busy.dat
work=$(mktemp -d)
xvfb_pid=

cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$bin/data/songs/$busy_song"
  rm -rf "$work"
}
trap cleanup EXIT

# A free display of our own; a number another server holds makes Xvfb exit.
start_xvfb() {
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -br -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    sleep 1
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; return; fi
  done
  echo "no X display could be started" >&2
  exit 1
}

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# Share of one core a process uses over the measuring window, in percent.
cpu_percent() {
  local before after
  before=$(cpu_ticks "$1")
  sleep "$window_seconds"
  after=$(cpu_ticks "$1")
  awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$window_seconds" 'BEGIN { printf "%.2f", t * 100 / hz / s }'
}

peak_rss_mb() { awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
heap_mb() { awk '/\[heap\]/ { h = 1 } h && /^Rss:/ { printf "%.2f", $2 / 1024; found = 1; exit } END { if (!found) print "0" }' "/proc/$1/smaps"; }

program_command() {
  case "$1" in
    kovo) echo "env ALSOFT_DRIVERS=null $bin/kovo-tracker" ;;
    goat) echo "env HOME=$work SDL_AUDIODRIVER=dummy goattracker" ;;
    milky) echo "env HOME=$work SDL_AUDIODRIVER=dummy milkytracker" ;;
  esac
}

# Loads the busy song through the song name field and starts it with F1.
# F1 hands the player the song through tmp.dat, so a copy of the busy song
# there shows that it plays. A loaded machine can let F12 and F1 meet in one
# update step (playback starts first and the load is not done): stop and try again.
play_busy_song() {
  local window songs=$bin/data/songs
  window=$(xdotool search --sync --onlyvisible --pid "$1" | head -1)
  xdotool mousemove --window "$window" 200 450 click 1
  sleep 0.5
  xdotool type --delay 60 "$busy_song"
  sleep 0.3
  xdotool key Return
  for _ in 1 2 3; do
    rm -f "$songs/tmp.dat"
    sleep 0.5
    xdotool key F12
    sleep 1
    xdotool key F1
    sleep 1.5
    cmp -s "$songs/tmp.dat" "$songs/$busy_song" && return 0
    [ -e "$songs/tmp.dat" ] && xdotool key F1
  done
  return 1
}

# Some programs ask before they quit; they get a moment, then are killed.
stop_program() {
  kill "$1" 2>/dev/null || true
  for _ in $(seq 20); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  while kill -0 "$1" 2>/dev/null; do sleep 0.1; done
}

# The floor for any GL program here: a bare GL window's first picture, and
# the heap that GLFW, Xlib and the GL driver take by themselves.
measure_bare() {
  local started pid heap
  started=$("$tools/kovo_first_picture" "$tools/kovo_bare_window")
  pid=${started% *}
  sleep 1
  heap=$(heap_mb "$pid")
  stop_program "$pid"
  echo "${started#* } $heap" >>"$work/bare"
  echo "    first picture ${started#* } ms, heap $heap MB" >&2
}

# One run of a program: appends "first idle playing peak heap" to its results.
measure() {
  local name=$1 started pid first idle playing=- peak heap
  # shellcheck disable=SC2046
  started=$("$tools/kovo_first_picture" $(program_command "$name"))
  pid=${started% *}
  first=${started#* }
  sleep "$settle_seconds"
  idle=$(cpu_percent "$pid")
  heap=$(heap_mb "$pid")
  if [ "$name" = kovo ]; then
    if play_busy_song "$pid"; then
      sleep "$settle_seconds"
      playing=$(cpu_percent "$pid")
    else
      echo "    the busy song did not start playing" >&2
    fi
  fi
  peak=$(peak_rss_mb "$pid")
  stop_program "$pid"

  echo "$first $idle $playing $peak $heap" >>"$work/$name"
  echo "    first picture $first ms, idle $idle %, playing $playing %, peak $peak MB, heap $heap MB" >&2
}

# Median of one column (1-based) of a program's results.
median() {
  local values
  values=$(cut -d' ' -f"$2" "$work/$1" | grep -v -- '^-$' | sort -g || true)
  [ -z "$values" ] && { echo -; return; }
  echo "$values" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b + 0 == 0) print "-"; else printf "%.2f", a / b }'; }

start_xvfb
"$tools/kovo_busy_song" "$bin/data/songs/$busy_song"
echo "Programs under Xvfb ($DISPLAY, Mesa llvmpipe): $rounds runs each, interleaved; CPU over ${window_seconds} s"
for round in $(seq "$rounds"); do
  for name in kovo goat milky; do
    echo "  run $round: $name" >&2
    measure "$name"
  done
  echo "  run $round: bare GL window" >&2
  measure_bare
done

figures=("first picture (ms):1" "idle CPU, Standby (%):2" "playing CPU, busy song (%):3" "peak RSS (MB):4"
         "own heap, [heap] Rss (MB):5")
printf '%-30s %10s %12s %13s %10s %11s\n' figure Kovo GoatTracker MilkyTracker Kovo/Goat Kovo/Milky
for entry in "${figures[@]}"; do
  column=${entry##*:}
  kovo=$(median kovo "$column")
  goat=$(median goat "$column")
  milky=$(median milky "$column")
  printf '%-30s %10s %12s %13s %10s %11s\n' "${entry%:*}" "$kovo" "$goat" "$milky" "$(ratio "$kovo" "$goat")" \
    "$(ratio "$kovo" "$milky")"
done
echo "The peers' playing figure is not measured: no song of theirs is loaded and played (idle only)."
echo "A bare GL window (GLFW and GL, cleared and swapped, nothing loaded): first picture $(median bare 1) ms," \
  "[heap] $(median bare 2) MB. That is the floor for any GL program on this machine."
echo

# In-process figures of the tracker screen and the song file.
ALSOFT_DRIVERS=null "$bin/kovo_screen_benchmark" 2> >(grep -v '^AL lib' >&2)

echo
tools/export_benchmark.sh
