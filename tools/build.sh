#!/usr/bin/env bash
# Configures and builds one flavour of the project: "release", "asan", or
# "fuzz" (the libFuzzer targets, built with clang).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
case "$flavour" in
  # Line tables (-g1) give a crash's backtrace its lines and compile the
  # libraries a third faster than full debug information; the package strips
  # them anyway.
  release) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
                    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG") ;;
  # -O1: the sanitized program runs its tests several times faster than at
  # -O0 and still reports exact lines; the tests' own code stays at -O0.
  # Line tables (-g1) are all a sanitizer's report needs, inlined frames
  # included, and the libraries compile a fifth faster than with full
  # debug information. clang (which the fuzz targets need anyway) compiles
  # the sanitized build about three times faster than gcc, and its programs
  # start and run faster; the release build stays with gcc, so that both
  # compilers' warnings keep the code clean.
  # KOVO_OPTIMISED_PROGRAM in the environment: an optimised build's bin/ that
  # its tests of the program also run against (see tests/CMakeLists.txt).
  asan) options=(-DCMAKE_BUILD_TYPE=Debug -DKOVO_SANITIZE=ON "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O1"
                 "-DCMAKE_C_FLAGS_DEBUG=-g1 -O1" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
                 "-DKOVO_OPTIMISED_PROGRAM=${KOVO_OPTIMISED_PROGRAM:-}") ;;
  # A crash the fuzzer finds is reported with line tables too.
  fuzz) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVO_FUZZ=ON
                 -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
                 "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG") ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
# Linking some thirty test programs is a large share of a build: lld (which
# the test packages install) or else gold links them several times faster
# than the default linker.
linker=gold
if command -v ld.lld >/dev/null 2>&1; then linker=lld; fi
for kind in EXE SHARED MODULE; do options+=("-DCMAKE_${kind}_LINKER_FLAGS=-fuse-ld=$linker"); done
cmake -S . -B "build/$flavour" -G Ninja "${options[@]}" >/dev/null
cmake --build "build/$flavour" -- "${@:2}"
