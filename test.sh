#!/usr/bin/env bash
# Installs what the tests need, builds the project twice and runs its tests:
# with AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer, every
# test; optimised, as it is packaged, every test that runs the tracker as a
# user does (the rest test the same code in-process, which the sanitizers
# watch more closely). The ASan build's tests include the fuzz targets'
# seed corpus, replayed under the sanitizers. Ends with where the time went.
#
# The release tests mostly wait on windows, child programs and sound devices,
# so they run while the ASan build compiles; their output is shown whole once
# they end.
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

# The ASan tests run alone, with no build beside them. Three times as many
# side by side as there are cores ended some 10 % sooner on an idle machine,
# but with both cores busy two sound tests failed there: twice as many, as
# for the release tests.
asan_jobs=$jobs

# run_tests JOBS BUILD_FOLDER [CTEST ARGUMENTS...]
run_tests() {
  ctest --test-dir "${@:2}" --output-on-failure -j"$1"
}

# Starts a flavour's tests (those the further ctest arguments select) in the
# background, their output and time kept in build/<flavour>/test-run.log and
# .time until tests_done shows them.
tests_started() {
  local flavour=$1 log=build/$1/test-run.log
  ( start=$SECONDS; status=0; run_tests "$jobs" "build/$flavour" "${@:2}" >"$log" 2>&1 || status=$?
    echo "$((SECONDS - start)) $status" >"$log.time" ) &
  test_run=$!
}
# Waits for the tests started last, shows their output and notes their time;
# failing tests end the run, after the times so far.
tests_done() {
  local flavour=$1 log=build/$1/test-run.log seconds status
  wait "$test_run" || true
  test_run=
  echo "== tests: $flavour build"
  cat "$log"
  read -r seconds status <"$log.time"
  if [ "$status" -ne 0 ]; then
    times+=("$flavour tests: $seconds s (failed)")
    printf '== times\n' && printf '  %s\n' "${times[@]}"
    exit 1
  fi
  times+=("$flavour tests: $seconds s (beside the next build)")
}
# A failed build leaves no tests running behind it: the run waits for them.
trap '[ -z "${test_run:-}" ] || wait "$test_run" 2>/dev/null || true' EXIT

timed "release build" tools/build.sh release kovo_program_tests
tests_started release -L program
timed "asan build" tools/build.sh asan
tests_done release
echo "== tests: asan build"
timed "asan tests" run_tests "$asan_jobs" build/asan
echo "== times"
printf '  %s\n' "${times[@]}" "total: $SECONDS s"
