#!/usr/bin/env bash
# Measures the real tracker the way a user runs it, beside two peer trackers
# from Debian and a bare GL window, on a private Xvfb (black root window, no
# GPU): time to the first picture, CPU while idle in Standby and while playing
# two songs (the project's busy song, and one of the kind the peers are
# compared on: a note every two rows on all four channels, four instruments
# with PWM, SWP and ARP) beside GoatTracker playing two of its examples, peak
# RSS and the program's own heap. The first picture, about
# a tenth of a second that one busy moment of the machine can double, is
# taken from fifteen quick starts of each program; the other figures from
# three runs each. Runs are interleaved, and the medians are printed with
# Kovo's differences from
# the bare window (the floor of any GL program here) and from one that draws
# and opens a sound device, and with ratios to the peers;
# then where a second goes: CPU, wakes and preemptions per thread (Kovo's
# loop, Mesa's rasterizer threads, OpenAL Soft's mixer; GoatTracker's
# threads), idle and playing; start-up phases, RSS by mapping. Then the in-process figures: draw calls and times of the
# screen and the song file. Not part of the tests: timings on a shared machine
# vary.
# Usage: tools/benchmark.sh [GOATTRACKER_SONG.sng GOATTRACKER_SONG.sng]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh benchmark
tools/build.sh release kovo-tracker kovo_screen_benchmark kovo_busy_song kovo_first_picture kovo_bare_window >/dev/null

# KOVO_BENCHMARK_BIN: the bin folder of another build (an older one, say),
# whose tracker is measured instead, with the same tools and peers.
bin=${KOVO_BENCHMARK_BIN:-build/release/bin}
tools=build/release/tools
rounds=${KOVO_BENCHMARK_ROUNDS:-3}
picture_rounds=${KOVO_BENCHMARK_PICTURE_ROUNDS:-15}
settle_seconds=3
window_seconds=${KOVO_BENCHMARK_SECONDS:-20}
busy_song=kovo_benchmark_busy.dat
bar_song=kovo_benchmark_bar.dat
goat_examples=/usr/share/doc/goattracker/examples
goat_song=${1:-$goat_examples/dojo.sng}
goat_song2=${2:-$goat_examples/consultant.sng}
work=$(mktemp -d)
xvfb_pid=

cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$bin/data/songs/$busy_song" "$bin/data/songs/$bar_song"
  rm -rf "$work"
}
trap cleanup EXIT
. tools/benchmark_servers.sh

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# Each thread of a process: "tid role ticks voluntary nonvoluntary", its
# role the main thread ("main"), Mesa's rasterizers ("llvmpipe"), a thread
# the program named, or "unnamed" (while Kovo plays, OpenAL Soft's mixer:
# its other unnamed threads sleep).
thread_readings() {
  local task comm main
  main=$(cat "/proc/$1/comm")
  for task in /proc/"$1"/task/*; do
    comm=$(tr ' ' _ <"$task/comm" 2>/dev/null) || continue
    case "$comm" in
      llvmpipe-*) comm=llvmpipe ;;
      "$main") comm=unnamed ;;
    esac
    [ "${task##*/}" = "$1" ] && comm=main
    echo "${task##*/} $comm $(awk '{ sub(/.*\) /, ""); print $12 + $13 }' "$task/stat" 2>/dev/null || echo 0)" \
      "$(awk '/^voluntary_ctxt/ { v = $2 } /^nonvoluntary_ctxt/ { n = $2 } END { print v + 0, n + 0 }' \
        "$task/status" 2>/dev/null || echo 0 0)"
  done | sort
}

# Share of one core a process uses over the measuring window, in percent;
# with a label, also appends each thread role's share, voluntary switches
# (wakes) and preemptions per second to the thread figures.
cpu_percent() {
  local before after
  before=$(thread_readings "$1")
  sleep "$window_seconds"
  after=$(thread_readings "$1")
  join <(echo "$before") <(echo "$after") |
    awk -v label="${2:-}" -v hz="$(getconf CLK_TCK)" -v s="$window_seconds" -v out="$work/threads" '
      { role = $2; t = $7 - $3; cpu[role] += t; wakes[role] += $8 - $4; preempted[role] += $9 - $5; total += t }
      END {
        if (label != "")
          for (r in cpu) printf "%s %s %.2f %.1f %.1f\n", label, r, cpu[r] * 100 / hz / s, wakes[r] / s, preempted[r] / s >>out
        printf "%.2f", total * 100 / hz / s
      }'
}

peak_rss_mb() { awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
heap_mb() { awk '/\[heap\]/ { h = 1 } h && /^Rss:/ { printf "%.2f", $2 / 1024; found = 1; exit } END { if (!found) print "0" }' "/proc/$1/smaps"; }

program_command() {
  case "$1" in
    # Settings of its own: Ctrl+G below is remembered in them.
    kovo | kovo_bar) echo "env ALSOFT_DRIVERS=null XDG_CONFIG_HOME=$work/config $bin/kovo-tracker" ;;
    # The disk driver writes what it plays to a file, which proves it plays.
    goat) echo "env HOME=$work SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/goat.raw goattracker $goat_song" ;;
    goat2) echo "env HOME=$work SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/goat.raw goattracker $goat_song2" ;;
    milky) echo "env HOME=$work SDL_AUDIODRIVER=dummy milkytracker" ;;
    bare) echo "env ALSOFT_DRIVERS=null $tools/kovo_bare_window" ;;
    drawn) echo "env ALSOFT_DRIVERS=null $tools/kovo_bare_window --draw-and-sound" ;;
  esac
}

# Starts the song the tracker was started with (the busy one unless named)
# with F1, pressed with the pointer over the window (without a window
# manager the keys go to the window under the pointer). F1 hands the player
# the song through tmp.dat, so a copy of the song there shows that it plays.
# A press that a loaded machine loses is pressed again.
play_busy_song() {
  local window songs=$bin/data/songs song=${2:-$busy_song}
  window=$(xdotool search --sync --onlyvisible --pid "$1" | head -1)
  xdotool mousemove --window "$window" 200 200
  for _ in 1 2 3; do
    rm -f "$songs/tmp.dat"
    sleep 0.5
    xdotool key F1
    for _ in 1 2 3 4 5 6; do
      sleep 0.5
      cmp -s "$songs/tmp.dat" "$songs/$song" && return 0
    done
    [ -e "$songs/tmp.dat" ] && xdotool key F1
  done
  return 1
}

# GoatTracker plays its song with F1, sent the way a keyboard sends it (its
# SDL ignores synthetic key events) and held for a moment: it reads the keys
# once a frame, and a press and release in between was missed more often than
# not. Before that its output holds one value (the chip's rest level); a
# playing song gives many distinct 16-bit values.
play_goat_song() {
  local start distinct window
  window=$(xdotool search --sync --onlyvisible --pid "$1" | head -1)
  # Without a window manager the keys go to the window under the pointer. A
  # press that falls in before the program reads keys is lost: F1 again.
  for _ in 1 2 3; do
    xdotool mousemove --window "$window" 100 100
    sleep 0.3
    xdotool keydown F1
    sleep 0.2
    xdotool keyup F1
    start=$(stat -c %s "$work/goat.raw")
    sleep 2
    distinct=$(tail -c +"$((start + 1))" "$work/goat.raw" | od -An -v -td2 -w2 | sort -u | wc -l)
    [ "$distinct" -gt 100 ] && return 0
  done
  return 1
}

# Rss of a process by mapping, in MB, the largest first: "name MB" lines.
rss_by_mapping() {
  awk '/^[0-9a-f]+-[0-9a-f]+ / { name = NF >= 6 ? $6 : "[anonymous]"; sub(/.*\//, "", name) }
       /^Rss:/ { rss[name] += $2 }
       END { for (n in rss) if (rss[n] >= 256) printf "%s %.1f\n", n, rss[n] / 1024 }' "/proc/$1/smaps" | sort -k2 -gr
}

# Some programs ask before they quit; they get a moment, then are killed.
stop_program() {
  kill "$1" 2>/dev/null || true
  for _ in $(seq 20); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  while kill -0 "$1" 2>/dev/null; do sleep 0.1; done
}

# The floors: "bare", a bare GL window's first picture and the heap that
# GLFW, Xlib and the GL driver take by themselves; "drawn", the same window
# with one textured quad drawn and a sound device open with eight sources,
# the least a program that draws and plays must take.
measure_floor() {
  local name=$1 started pid heap peak
  # shellcheck disable=SC2046
  started=$("$tools/kovo_first_picture" $(program_command "$name"))
  pid=${started% *}
  sleep "$settle_seconds"
  heap=$(heap_mb "$pid")
  peak=$(peak_rss_mb "$pid")
  [ -s "$work/${name}_rss" ] || rss_by_mapping "$pid" >"$work/${name}_rss"
  stop_program "$pid"
  echo "${started#* } 0 - $peak $heap" >>"$work/$name"
  echo "    first picture ${started#* } ms, peak $peak MB, heap $heap MB" >&2
}

# One quick start of a program: appends its first picture (ms) to its list;
# for Kovo also the time until its whole screen shows (the frame colour at
# the bottom left, which the first full repaint brings). Nothing is changed
# in a quick start, so the program is killed outright rather than asked.
measure_first_picture() {
  local started pid rest shows=()
  [ "$1" = kovo ] && shows=(--shows 0 470 563c6a)
  # shellcheck disable=SC2046
  started=$("$tools/kovo_first_picture" "${shows[@]}" $(program_command "$1"))
  read -r pid rest <<<"$started"
  kill -9 "$pid" 2>/dev/null || true
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  echo "$rest" >>"$work/${1}_picture"
}

# Control held a moment with a key, as a person holds it: the program polls.
control_key() { xdotool keydown ctrl && sleep 0.2 && xdotool key "$1" && sleep 0.2 && xdotool keyup ctrl; }

# One run of a program: appends "first idle playing peak heap live scopes" to
# its results; live is Kovo's playing CPU once Ctrl+R has switched live
# editing on, scopes its playing CPU with the channel scopes (Ctrl+G) in the
# meters' place, measured right after the meters' figure. The second song of
# each tracker ("kovo_bar", "goat2") is measured playing only.
measure() {
  local name=$1 started pid first idle=- playing=- peak heap live=- scopes=- song=
  # Kovo starts with the song it plays loaded, as a song opened from a file manager.
  case "$name" in
    kovo) song=$busy_song ;;
    kovo_bar) song=$bar_song ;;
  esac
  # shellcheck disable=SC2046
  started=$("$tools/kovo_first_picture" $(program_command "$name") ${song:+"$bin/data/songs/$song"})
  pid=${started% *}
  first=${started#* }
  sleep "$settle_seconds"
  case "$name" in
    kovo | goat | milky) idle=$(cpu_percent "$pid" "$name-idle") ;;
  esac
  heap=$(heap_mb "$pid")
  case "$name" in
    kovo | kovo_bar)
      if play_busy_song "$pid" "$song"; then
        sleep "$settle_seconds"
        playing=$(cpu_percent "$pid" "$name-playing")
        if [ "$name" = kovo ]; then
          control_key g
          sleep "$settle_seconds"
          scopes=$(cpu_percent "$pid" "$name-scopes")
          control_key g
          control_key r
          sleep "$settle_seconds"
          live=$(cpu_percent "$pid" "$name-live")
        fi
      else
        echo "    $song did not start playing" >&2
      fi
      [ -s "$work/kovo_rss" ] || rss_by_mapping "$pid" >"$work/kovo_rss"
      ;;
    goat | goat2)
      if play_goat_song "$pid"; then
        playing=$(cpu_percent "$pid" "$name-playing")
      else
        echo "    GoatTracker's song did not start playing" >&2
      fi
      ;;
  esac
  peak=$(peak_rss_mb "$pid")
  stop_program "$pid"

  echo "$first $idle $playing $peak $heap $live $scopes" >>"$work/$name"
  echo "    first picture $first ms, idle $idle %, playing $playing %, scopes $scopes %, live $live %, peak $peak MB," \
    "heap $heap MB" >&2
}

# Per thread role of each measured phase (program-phase), the medians over
# the runs of its CPU share (%), wakes and preemptions per second.
thread_table() {
  local key values
  printf '  %-18s %-16s %8s %9s %12s\n' phase thread "CPU %" "wakes/s" "preempted/s"
  cut -d' ' -f1,2 "$work/threads" | sort -u | while read -r key; do
    values=$(grep "^$key " "$work/threads" | cut -d' ' -f3-)
    printf '  %-18s %-16s' ${key}
    for column in 1 2 3; do
      printf ' %9s' "$(echo "$values" | cut -d' ' -f"$column" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')"
    done
    echo
  done
}

# Median of one column (1-based) of a results file in the work folder.
median() {
  local values
  values=$(cut -d' ' -f"$2" "$work/$1" | grep -v -- '^-$' | sort -g || true)
  [ -z "$values" ] && { echo -; return; }
  echo "$values" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Lowest, lower quartile, upper quartile and highest of one column (1-based,
# 1 when not given) of a list of first pictures.
spread() {
  cut -d' ' -f"${2:-1}" "$work/$1" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%s, %s-%s, %s", v[1], v[int((NR + 3) / 4)], v[int((3 * NR + 3) / 4)], v[NR] }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b + 0 == 0) print "-"; else printf "%.2f", a / b }'; }

# A black root window.
start_xvfb -br
"$tools/kovo_busy_song" "$bin/data/songs/$busy_song"
"$tools/kovo_busy_song" --every-two-rows "$bin/data/songs/$bar_song"
echo "Programs under Xvfb ($DISPLAY, Mesa llvmpipe): first pictures from $picture_rounds starts each, the rest from" \
  "$rounds runs each, interleaved; CPU over ${window_seconds} s"
for round in $(seq "$picture_rounds"); do
  echo "  start $round: first pictures" >&2
  for name in kovo bare drawn goat milky; do measure_first_picture "$name"; done
done
for round in $(seq "$rounds"); do
  for name in kovo kovo_bar goat goat2 milky; do
    echo "  run $round: $name" >&2
    measure "$name"
  done
  echo "  run $round: bare GL window" >&2
  measure_floor bare
  echo "  run $round: GL window that draws, with a sound device" >&2
  measure_floor drawn
done

# "label:results file suffix:column"
figures=("first picture (ms):_picture:1" "idle CPU, Standby (%)::2" "playing CPU, busy song (%)::3"
         "  with channel scopes, Ctrl+G (%)::7" "  with live editing, Ctrl+R (%)::6" "peak RSS (MB)::4" "own heap, [heap] Rss (MB)::5")
difference() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-") print "-"; else printf "%+.2f", a - b }'; }
printf '%-30s %8s %8s %10s %8s %10s %9s %8s %10s %10s\n' figure Kovo bare Kovo-bare drawn Kovo-drawn GoatTr. Milky \
  Kovo/Goat Kovo/Milky
for entry in "${figures[@]}"; do
  column=${entry##*:}
  suffix=${entry%:*}
  suffix=${suffix##*:}
  kovo=$(median "kovo$suffix" "$column")
  bare=$(median "bare$suffix" "$column")
  drawn=$(median "drawn$suffix" "$column")
  goat=$(median "goat$suffix" "$column")
  milky=$(median "milky$suffix" "$column")
  printf '%-30s %8s %8s %10s %8s %10s %9s %8s %10s %10s\n' "${entry%%:*}" "$kovo" "$bare" "$(difference "$kovo" "$bare")" \
    "$drawn" "$(difference "$kovo" "$drawn")" "$goat" "$milky" "$(ratio "$kovo" "$goat")" "$(ratio "$kovo" "$milky")"
done
echo "bare: a GLFW window with a GL context, cleared once and swapped, nothing loaded: the floor of any GL program."
echo "drawn: the same window with one blended textured quad and a sound device with eight sources open."
echo "First pictures (ms), lowest, quartiles, highest:" \
  "Kovo $(spread kovo_picture); bare $(spread bare_picture); drawn $(spread drawn_picture);" \
  "GoatTracker $(spread goat_picture); MilkyTracker $(spread milky_picture)"
echo "Kovo's whole screen, the first full repaint three update steps after its first frame: median" \
  "$(median kovo_picture 2) ms; lowest, quartiles, highest: $(spread kovo_picture 2)"
echo "GoatTracker plays ${goat_song##*/} (the table's figure) and ${goat_song2##*/} (F1, proved through SDL's disk audio driver);" \
  "MilkyTracker is idle only."
echo
kovo_busy=$(median kovo 3) kovo_bar=$(median kovo_bar 3) goat=$(median goat 3) goat2=$(median goat2 3)
echo "Playing CPU (% of one core, medians): Kovo's busy song $kovo_busy, Kovo's song with a note every two rows" \
  "$kovo_bar; GoatTracker's ${goat_song##*/} $goat, ${goat_song2##*/} $goat2"
echo "  Kovo/GoatTracker: busy song $(ratio "$kovo_busy" "$goat") and $(ratio "$kovo_busy" "$goat2")," \
  "every two rows $(ratio "$kovo_bar" "$goat") and $(ratio "$kovo_bar" "$goat2")" \
  "(against ${goat_song##*/} and ${goat_song2##*/})"
echo "Where a second goes, per thread (medians of the runs; wakes: voluntary switches, the thread slept and was woken;"
echo "preempted: involuntary switches; Kovo's unnamed thread while playing is OpenAL Soft's mixer):"
thread_table
echo "Rss by mapping (MB): Kovo, the bare window, the drawn window:"
join -a1 -a2 -e - -o 0,1.2,2.2 <(sort "$work/kovo_rss") <(sort "$work/bare_rss") |
  join -a1 -a2 -e - -o 0,1.2,1.3,2.2 - <(sort "$work/drawn_rss") | sort -k2 -gr |
  awk '{ printf "  %-28s %7s %7s %7s\n", $1, $2, $3, $4 }'
echo "Kovo's start-up phases (ms since main began), and its first picture as seen from outside:"
started=$("$tools/kovo_first_picture" env ALSOFT_DRIVERS=null KOVO_STARTUP_TRACE="$work/trace" "$bin/kovo-tracker")
sleep "$settle_seconds"
stop_program "${started% *}"
sed 's/^/  /' "$work/trace"
echo "  first picture ${started#* } ms after the start of the process"
echo

# In-process figures of the tracker screen and the song file.
ALSOFT_DRIVERS=null "$bin/kovo_screen_benchmark" 2> >(grep -v '^AL lib' >&2)

echo
tools/export_benchmark.sh
