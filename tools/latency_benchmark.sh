#!/usr/bin/env bash
# Key to ear: the time from a key going down to the first frame of the note's
# sound at a JACK port, for the real tracker (and another build of it beside
# it, in one run). Of the peers, SDL programs cannot sound through JACK
# (Debian's SDL has no JACK driver), and MilkyTracker's JACK output reported a
# failed start here and loaded no module given on its command line, so
# none takes part. Everything runs on an Xvfb and a JACK
# server of its own (dummy backend, 48 kHz, 128-frame periods, no playback
# ports: the measuring client kovo_ear_latency takes their place, so OpenAL
# Soft connects its output to it itself, also each time it wakes). The tracker sounds through OpenAL
# Soft's JACK backend (an alsoft.conf in a temporary folder), which mixes in
# JACK's periods: the tracker's own mixing period (audio_period) takes no part
# here, and what it adds on other outputs is its queue. Each program
# gets KOVO_LATENCY_PRESSES (200) key presses through XTEST and as many MIDI
# note-ons through a JACK MIDI port, each from silence and at a
# random moment; then the same with both cores busy (stress-ng --cpu 2).
# Prints the median, 90th percentile and worst in ms.
#
# Usage: tools/latency_benchmark.sh [OTHER_KOVO_TRACKER]
#   OTHER_KOVO_TRACKER: another build of the tracker (an older one, say) to
#   measure beside this one, as "Kovo (other)".
# Timings on a shared machine vary: compare figures of one run only.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh benchmark
tools/build.sh release kovo-tracker kovo_ear_latency kovo_busy_song >/dev/null

bin=build/release/bin
tools=build/release/tools
other=${1:-}
presses=${KOVO_LATENCY_PRESSES:-200}
period=128
work=$(mktemp -d)
xvfb_pid= jack_pid= stress_pid= program_pid=

cleanup() {
  for pid in $program_pid $stress_pid $jack_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
. tools/benchmark_servers.sh

# OpenAL Soft's JACK backend; never beside the executable, where it would be
# read by every later run too.
write_openal_config() {
  printf '[general]\ndrivers = jack\n' >"$work/alsoft.conf"
}

program_command() {
  case "$1" in
    kovo) echo "$bin/kovo-tracker $work/notes.song" ;;
    other) echo "$other $work/notes.song" ;;
  esac
}

program_title() {
  case "$1" in
    kovo | other) echo "Kovo Tracker" ;;
  esac
}

start_program() {
  local name=$1
  mkdir -p "$work/home-$name"
  HOME=$work/home-$name XDG_CONFIG_HOME=$work/home-$name/config XDG_DATA_HOME=$work/home-$name/data \
    ALSOFT_CONF=$work/alsoft.conf $(program_command "$name") >"$work/$name.log" 2>&1 &
  program_pid=$!
}

stop_program() {
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

# measure NAME LOAD INPUT...: the measuring client first, since a program
# looks for its speakers when it opens its sound; then the program.
measure() {
  local name=$1 load=$2 input count heard median p90 worst
  shift 2
  timeout 1200 "$tools/kovo_ear_latency" "$(program_title "$name")" "$presses" "$@" >"$work/ear.out" \
    2>"$work/ear.log" &
  local ear=$!
  start_program "$name"
  wait "$ear" || true
  stop_program
  # KOVO_EAR_VERBOSE: every press, heard or not and when, on standard error.
  [ -z "${KOVO_EAR_VERBOSE:-}" ] || sed "s/^/$(label "$name") $load: /" "$work/ear.log" >&2
  while read -r input count heard median p90 worst; do
    printf '%-14s %-9s %-7s %8s %8s %8s %8s\n' "$(label "$name")" "$input" "$load" "$heard/$count" "$median" "$p90" \
      "$worst"
  done <"$work/ear.out"
  [ -s "$work/ear.out" ] || echo "$(label "$name"): not measured ($(head -c 200 "$work/ear.log"))"
}

label() {
  case "$1" in
    kovo) echo "Kovo" ;;
    other) echo "Kovo (other)" ;;
  esac
}

run_programs() {
  local load=$1 name
  for name in "${programs[@]}"; do
    measure "$name" "$load" key midi
  done
}

start_xvfb
start_jack kovo-ear -d dummy -r 48000 -p "$period" -P 0 -C 0
write_openal_config
"$tools/kovo_busy_song" --short-notes "$work/notes.song"
programs=(kovo)
[ -n "$other" ] && programs+=(other)

echo "Key to ear through JACK (dummy backend, 48 kHz, $period-frame periods = 2.7 ms), $presses presses each:"
printf '%-14s %-9s %-7s %8s %8s %8s %8s\n' program input load heard median p90 worst
run_programs idle
stress-ng --cpu 2 --quiet &
stress_pid=$!
run_programs loaded
kill "$stress_pid" 2>/dev/null || true
stress_pid=
echo "(ms from the key press or note-on to the first frame of sound at the JACK port, both in JACK's clock, a frame"
echo " at the time its cycle reached the port plus its place in the cycle;"
echo " the frame reaches the speaker one JACK period later. No peer can take part: see the script's head.)"
