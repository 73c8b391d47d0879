#!/usr/bin/env bash
# Installs what the tests need, builds the project twice (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer) and runs
# every test in both; then builds the fuzz targets with clang and replays
# their seed corpus. Ends with where the time went.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test

times=()
# Runs a step and notes its time; a failing step ends the run, after the
# times so far.
timed() {
  local name=$1 start=$SECONDS
  shift
  if ! "$@"; then
    times+=("$name: $((SECONDS - start)) s (failed)")
    printf '== times\n' && printf '  %s\n' "${times[@]}"
    exit 1
  fi
  times+=("$name: $((SECONDS - start)) s")
}

# Most tests spend their time waiting on a window, a child program or a
# sound device, so twice as many run side by side as there are cores.
jobs=$(($(nproc) * 2))

# Tests labelled needs-root switch to the user nobody to try file modes, which
# root ignores. Run by root, they run with the others; run by an ordinary
# user, the others run as that user and these through sudo.
if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
  echo "Some tests need root and there is no sudo here: run ./test.sh as root." >&2
  exit 1
fi
run_tests() {
  local folder=$1
  if [ "$(id -u)" -eq 0 ]; then
    ctest --test-dir "$folder" --output-on-failure -j"$jobs"
  else
    ctest --test-dir "$folder" --output-on-failure -j"$jobs" -LE needs-root &&
      sudo env ${CI:+CI="$CI"} ctest --test-dir "$folder" --output-on-failure -j"$jobs" -L needs-root
  fi
}

for flavour in release asan; do
  timed "$flavour build" tools/build.sh "$flavour"
  echo "== tests: $flavour build"
  timed "$flavour tests" run_tests "build/$flavour"
done
timed "fuzz build" tools/build.sh fuzz
echo "== fuzz targets: seed corpus replay"
timed "fuzz replay" ctest --test-dir build/fuzz --output-on-failure -j"$jobs"
echo "== times"
printf '  %s\n' "${times[@]}" "total: $SECONDS s"
