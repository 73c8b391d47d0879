#!/usr/bin/env bash
# Configures and builds one flavour of the project: "release" or "asan".
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
case "$flavour" in
  release) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) options=(-DCMAKE_BUILD_TYPE=Debug -DKOVO_SANITIZE=ON) ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S . -B "build/$flavour" -G Ninja "${options[@]}" >/dev/null
cmake --build "build/$flavour" -- "${@:2}"
