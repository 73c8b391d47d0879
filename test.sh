#!/usr/bin/env bash
# Installs what the tests need, builds the project twice (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
for flavour in release asan; do
  tools/build.sh "$flavour"
  echo "== tests: $flavour build"
  ctest --test-dir "build/$flavour" --output-on-failure -j2
done
