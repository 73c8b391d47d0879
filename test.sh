#!/usr/bin/env bash
# Installs what the tests need, builds the project twice (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both;
# then builds the fuzz targets with clang and replays their seed corpus.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
for flavour in release asan; do
  tools/build.sh "$flavour"
  echo "== tests: $flavour build"
  ctest --test-dir "build/$flavour" --output-on-failure -j2
done
tools/build.sh fuzz
echo "== fuzz targets: seed corpus replay"
ctest --test-dir build/fuzz --output-on-failure -j2
