#!/usr/bin/env bash
# Installs what the tracker needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build
# The build is quiet when it works; when it fails, its errors are what to read.
mkdir -p build
log=build/run-build.log
if ! tools/build.sh release kovo-tracker >"$log" 2>&1; then
  echo "The tracker did not build (the whole log is in $PWD/$log):" >&2
  if grep -q -E 'error|FAILED|Error' "$log"; then
    grep -E -A4 'error|FAILED|Error' "$log" | head -n 60 >&2
  else
    tail -n 30 "$log" >&2
  fi
  exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display here: start the tracker with  xvfb-run -a -s '-screen 0 1024x768x24' $PWD/build/release/bin/kovo-tracker" >&2
  exit 1
fi
exec build/release/bin/kovo-tracker
