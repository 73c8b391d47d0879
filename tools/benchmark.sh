#!/usr/bin/env bash
# Builds the optimised tracker and prints what its screen and song file cost:
# draw calls and milliseconds of a full repaint and of a meter-only frame, and
# the time of a song save and load. Runs on a private Xvfb with silent audio
# (OpenAL's note about the device left open at exit is filtered out).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test
tools/build.sh release kovo_screen_benchmark >/dev/null
ALSOFT_DRIVERS=null xvfb-run -a -s '-screen 0 1024x768x24' build/release/bin/kovo_screen_benchmark \
  2> >(grep -v '^AL lib' >&2)
tools/export_benchmark.sh
