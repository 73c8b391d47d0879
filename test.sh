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
for flavour in release asan; do
  timed "$flavour build" tools/build.sh "$flavour"
  echo "== tests: $flavour build"
  timed "$flavour tests" ctest --test-dir "build/$flavour" --output-on-failure -j"$jobs"
done
timed "fuzz build" tools/build.sh fuzz
echo "== fuzz targets: seed corpus replay"
timed "fuzz replay" ctest --test-dir build/fuzz --output-on-failure -j"$jobs"
echo "== times"
printf '  %s\n' "${times[@]}" "total: $SECONDS s"
