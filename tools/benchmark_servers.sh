# Shell functions of the benchmark scripts, which source this file: the
# servers a benchmark runs its programs under, its own, so that nothing of a
# desktop's or of another run's takes part. A script sets $work (a
# temporary folder for the servers' logs) before it calls them and kills
# $xvfb_pid (and $jack_pid) when it ends, waiting for them.

# start_xvfb [XVFB_OPTION...]: an Xvfb of 1024 x 768 on a display number no
# other server holds, as DISPLAY. Another server can take a number between
# the look and the start, which makes Xvfb exit: then the next number.
start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" "$@" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    while kill -0 "$xvfb_pid" 2>/dev/null; do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
  done
  echo "no X display could be started" >&2
  exit 1
}

# start_jack NAME [JACKD_OPTION...]: a JACK server as JACK_DEFAULT_SERVER,
# named NAME-1 or, where a server of that name runs, NAME-2 .. NAME-4. JACK
# registers at most eight servers, and a jackd that ends soon after its
# clients can leave its name registered; a name used again takes its old
# place, so a few names never fill the registry as a new name each run did.
start_jack() {
  local name=$1 n
  shift
  for n in 1 2 3 4; do
    pgrep -f "^jackd -n $name-$n " >/dev/null && continue
    jackd -n "$name-$n" "$@" >"$work/jackd.log" 2>&1 &
    jack_pid=$!
    export JACK_DEFAULT_SERVER=$name-$n JACK_NO_START_SERVER=1
    for _ in $(seq 100); do
      kill -0 "$jack_pid" 2>/dev/null || break
      jack_lsp >/dev/null 2>&1 && kill -0 "$jack_pid" 2>/dev/null && return 0
      sleep 0.1
    done
    kill "$jack_pid" 2>/dev/null && wait "$jack_pid" 2>/dev/null
  done
  echo "no JACK server started: $(head -c 300 "$work/jackd.log")" >&2
  exit 1
}
