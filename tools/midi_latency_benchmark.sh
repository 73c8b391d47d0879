#!/usr/bin/env bash
# Prints the time from a MIDI note-on, sent through a JACK server (dummy
# backend, 256-frame periods at 48 kHz, a server of its own), to the cell the
# tracker writes and to the preview channels it starts: the median and the
# worst of 200 notes. The aim: the next update step, at most 20 ms. A second
# input beside the tracker's tells the steps a note waited after JACK handed
# it over from the time JACK itself took; a note JACK loses on the way (a
# server without real-time priority on a loaded machine), to both inputs or
# to the tracker's alone, is counted apart. Exit status 1 only for a note
# the tracker's input took but that was never written.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh release -j2 kovo_midi_latency >/dev/null
work=$(mktemp -d)
jack_pid=
cleanup() {
  for pid in ${tool:-} $jack_pid ${xvfb:-}; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
. tools/benchmark_servers.sh

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

start_jack kovo-midi-latency -r -d dummy -r 48000 -p 256

echo "MIDI latency through JACK (dummy backend, 5.3 ms periods), 200 notes:"
ALSOFT_DRIVERS=null XDG_CONFIG_HOME="$work/config" build/release/bin/kovo_midi_latency &
tool=$!
wait "$tool"
