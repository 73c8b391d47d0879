#!/usr/bin/env bash
# Installs what the tests need, builds the project twice and runs its tests:
# with AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer, every
# test; optimised, as it is packaged, every test that runs the tracker as a
# user does (the rest test the same code in-process, which the sanitizers
# watch more closely). The optimised build is the program only: the
# sanitizer build's test programs run its tests against both builds' programs
# (entries NAME and NAME-optimised), so they are compiled once. The ASan
# build's tests include the fuzz targets' seed corpus, replayed under the
# sanitizers. Ends with where the time went.
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

# Both builds first, each with the machine to itself (a build beside the
# tests is slowed more than it fills), then all the tests in one run. Most
# of them spend their time waiting on a window, a child program or a sound
# device, so four times as many run side by side as there are cores.
timed "release build" tools/build.sh release kovo_tested_program
timed "asan build" env KOVO_OPTIMISED_PROGRAM="$PWD/build/release/bin" tools/build.sh asan
timed "tests" ctest --test-dir build/asan --output-on-failure -j"$(($(nproc) * 4))"
echo "== times"
printf '  %s\n' "${times[@]}" "total: $SECONDS s"
