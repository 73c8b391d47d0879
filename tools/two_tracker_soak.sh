#!/usr/bin/env bash
# Two real trackers take turns on one songs folder under their own Xvfb for
# several minutes: both play at once, both hold unsaved notes at once, one
# closes with its work unsaved and comes back while the other runs, both save.
# At the end every byte of both songs is checked. The first argument sets the
# length in seconds (default 240); the test command runs two rounds of it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh release kovo-tracker two_trackers_tests >/dev/null
KOVO_SOAK_SECONDS=${1:-240} build/release/bin/two_trackers_tests \
  --gtest_filter='TwoTrackers.TakeTurnsEditingSavingPlayingAndClosingOnOneSongsFolder'
