#!/usr/bin/env bash
# Installs what the tests need, builds the project twice and runs its tests:
# with AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer, every
# test; optimised, as it is packaged, every test that runs the tracker as a
# user does (the rest test the same code in-process, which the sanitizers
# watch more closely). The ASan build's tests include the fuzz targets'
# seed corpus, replayed under the sanitizers. Ends with where the time went.
#
# The tests mostly wait on windows, child programs and sound devices, so the
# two flavours' tests run side by side; each one's output is shown whole once
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
# sound device, so twice as many of a flavour run side by side as there are
# cores.
jobs=$(($(nproc) * 2))

# run_tests BUILD_FOLDER [CTEST ARGUMENTS...]
run_tests() {
  ctest --test-dir "$@" --output-on-failure -j"$jobs"
}

# Starts a flavour's tests (those the further ctest arguments select) in the
# background, their output and time kept in build/<flavour>/test-run.log and
# .time until tests_done shows them.
declare -A test_runs=()
tests_started() {
  local flavour=$1 log=build/$1/test-run.log
  ( start=$SECONDS; status=0; run_tests "build/$flavour" "${@:2}" >"$log" 2>&1 || status=$?
    echo "$((SECONDS - start)) $status" >"$log.time" ) &
  test_runs[$flavour]=$!
}
# Waits for a flavour's tests, shows their output and notes their time (and
# the words after it); a failure is noted, and ends the run once every
# flavour's tests have been shown.
failed=
tests_done() {
  local flavour=$1 log=build/$1/test-run.log seconds status
  wait "${test_runs[$flavour]}" || true
  unset "test_runs[$flavour]"
  echo "== tests: $flavour build"
  cat "$log"
  read -r seconds status <"$log.time"
  if [ "$status" -ne 0 ]; then
    times+=("$flavour tests: $seconds s (failed)")
    failed=1
  else
    times+=("$flavour tests: $seconds s${2:-}")
  fi
}
# A failed build leaves no tests running behind it: the run waits for them.
trap 'for run in "${test_runs[@]}"; do wait "$run" 2>/dev/null || true; done' EXIT

# Both builds first, each with the machine to itself, then both flavours'
# tests side by side: a flavour's tests alone leave a core idle a quarter of
# the time while they wait on their programs, and a build beside them is
# slowed more than they fill.
timed "release build" tools/build.sh release kovo_program_tests
timed "asan build" tools/build.sh asan
tests_started release -L program
tests_started asan
tests_done release " (beside the ASan tests)"
tests_done asan " (beside the release tests)"
echo "== times"
printf '  %s\n' "${times[@]}" "total: $SECONDS s"
[ -z "$failed" ]
