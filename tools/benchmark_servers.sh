# Shell functions of the benchmark scripts, which source this file: the
# servers a benchmark runs its programs under, its own, so that nothing of a
# desktop's or of another run's takes part. A script sets $work (a
# temporary folder for the servers' logs) before it calls them and kills
# $xvfb_pid when it ends.

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
