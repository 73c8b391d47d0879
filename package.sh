#!/usr/bin/env bash
# Installs what building needs, builds the tracker and makes its Debian
# package, build/package/kovo-tracker_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh build
tools/build.sh release kovo-tracker kovo_icons kovo_documents
cpack --config build/release/CPackConfig.cmake -B build/package
