#!/usr/bin/env bash
# Prints how fast the optimised program renders a busy four-channel song to a
# WAV file (times real time, at least 300x is the aim) and how much memory it
# holds for a 4-minute and for a 34-minute export (it should not grow); then
# the speed of each file format, for one song and for batches with one job
# and with one job per core.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh release -j2 kovo-tracker >/dev/null
program=build/release/bin/kovo-tracker
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A song file: "KOV1", positions, speed, one pattern of 16 columns, the 256
# positions, 249 instrument values and 31 blank descriptions of 21.
# Every row of every channel starts a note; instrument 1 has detune, a sweep
# and an arpeggio, so all eight oscillators move every tick.
write_song() { # file positions speed
  local notes=ysxdcvgbhnjmq2w3 column c row
  {
    printf 'KOV1'; printf "\\x$(printf %02x "$2")\\x$(printf %02x "$3")\\x01"
    for column in 0 1 2 3; do
      for row in $(seq 0 31); do printf '%s' "${notes:$(((row * 5 + column * 3) % 16)):1}"; done
    done
    for column in 4 5 6 7; do for row in $(seq 0 31); do printf '%x' $((4 + row % 4)); done; done
    for column in 8 9 10 11; do printf '1%.0s' $(seq 32); done
    for column in 12 13 14 15; do printf '2%.0s' $(seq 32); done
    head -c 256 /dev/zero
    head -c 8 /dev/zero; printf '\x01\x09\x00\x35\x3c\x02\x04\x07'; head -c 233 /dev/zero
    printf ' %.0s' $(seq 651)
  } >"$1"
}

# Sets children to the processor seconds (user + system) of the shell's
# finished children so far; `times` must run in this shell, not a subshell.
children_cpu() {
  times >"$work/times"
  children=$(awk 'NR == 2 {gsub(/[ms]/, " "); print $1 * 60 + $2 + $3 * 60 + $4}' "$work/times")
}

# Runs one export; sets seconds (wall clock), cpu (its processor time) and
# peak_kib (its highest resident set). The wall clock counts whatever else
# the machine runs; the processor time does not.
measure() { # out song... [options]
  local out=$1 start end pid peak=0 now cpu_before
  shift
  children_cpu
  cpu_before=$children
  start=$(date +%s.%N)
  "$program" -o "$out" --quiet --export "$@" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    now=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$now" ] && [ "$now" -gt "$peak" ] && peak=$now
    sleep 0.02
  done
  wait "$pid"
  end=$(date +%s.%N)
  seconds=$(awk "BEGIN {print $end - $start}")
  children_cpu
  cpu=$(awk "BEGIN {print $children - $cpu_before}")
  peak_kib=$peak
}

sound_seconds() { # any file sox reads
  soxi -D "$1"
}

# One line of figures: sound seconds over processor and over wall seconds.
speed_line() { # label audio_seconds
  printf '%-34s %6.0fx real time in processor time, %6.0fx on the wall clock (%.1f s of sound, %.2f s cpu, %.2f s wall)\n' \
    "$1" "$(awk "BEGIN {print $2 / $cpu}")" "$(awk "BEGIN {print $2 / $seconds}")" "$2" "$cpu" "$seconds"
}

write_song "$work/busy" 99 4
measure "$work/busy.wav" "$work/busy"
audio=$(sound_seconds "$work/busy.wav")
printf 'export render speed: %.0fx real time (%.1f s of a busy four-channel song in %.2f s of processor time;' \
  "$(awk "BEGIN {print $audio / $cpu}")" "$audio" "$cpu"
printf ' %.0fx on the wall clock, %.2f s), peak memory %d KiB\n' "$(awk "BEGIN {print $audio / $seconds}")" \
  "$seconds" "$peak_kib"

measure "$work/stems.wav" "$work/busy" --stems
printf 'export with stems: %.0fx real time in processor time for the five files (%.0fx on the wall clock)\n' \
  "$(awk "BEGIN {print $audio / $cpu}")" "$(awk "BEGIN {print $audio / $seconds}")"

write_song "$work/long" 99 16
measure "$work/long.wav" "$work/long" --loops 2
printf 'export memory: peak %d KiB for %.1f minutes of sound\n' "$peak_kib" \
  "$(awk "BEGIN {print $(sound_seconds "$work/long.wav") / 60}")"

# Each format: the busy song alone, then four copies of it in one call with
# one job and with one job per core (goal: WAV and FLAC 300x, the lossy ones
# 100x on one core).
cores=$(nproc)
for copy in 1 2 3 4; do cp "$work/busy" "$work/busy$copy"; done
for format in wav flac ogg opus mp3; do
  measure "$work/busy.$format" "$work/busy"
  speed_line "$format, one song:" "$audio"
  for jobs in 1 "$cores"; do
    rm -rf "$work/out"
    measure "$work/out/" "$work"/busy[1-4] --format "$format" --jobs "$jobs"
    speed_line "$format, 4 songs, $jobs job(s):" "$(awk "BEGIN {print 4 * $audio}")"
  done
done

# A batch of 100 short songs (about 10 s each), with one job and one per core.
mkdir -p "$work/many"
write_song "$work/many/song000" 4 4
for n in $(seq 1 99); do cp "$work/many/song000" "$work/many/song$(printf %03d "$n")"; done
"$program" --export "$work/many/song000" -o "$work/short.wav" --quiet
short=$(sound_seconds "$work/short.wav")
for jobs in 1 "$cores"; do
  rm -rf "$work/out"
  measure "$work/out/" "$work"/many/song* --format flac --jobs "$jobs"
  speed_line "100 songs as FLAC, $jobs job(s):" "$(awk "BEGIN {print 100 * $short}")"
done
