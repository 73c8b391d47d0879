#!/usr/bin/env bash
# Installs what the tracker needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build
tools/build.sh release kovo_tracker >/dev/null
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display here: start the tracker with  xvfb-run -a -s '-screen 0 1024x768x24' $PWD/build/release/bin/kovo_tracker" >&2
  exit 1
fi
exec build/release/bin/kovo_tracker
