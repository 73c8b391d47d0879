#!/usr/bin/env bash
# Runs one fuzzing campaign: tools/fuzz.sh TARGET SECONDS
# TARGET is fuzz_song, fuzz_wav, fuzz_ogg, fuzz_font or fuzz_text. The
# campaign starts from the committed seeds (tests/fuzz/corpus/TARGET), keeps
# what it finds in build/fuzz/corpus/TARGET (never in the source tree) and
# writes any crashing, leaking or hanging input to build/fuzz/findings/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: tools/fuzz.sh TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
seeds=tests/fuzz/corpus/$target
if [ ! -d "$seeds" ]; then
  echo "no seed corpus for \"$target\" in $seeds" >&2
  exit 2
fi
tools/build.sh fuzz -j2 "$target" >/dev/null
corpus=build/fuzz/corpus/$target
findings=build/fuzz/findings/$target
mkdir -p "$corpus" "$findings"
# One worker: the machine's cores are shared. An input that runs for more than
# 10 s counts as a hang.
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
exec "build/fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$corpus" "$seeds"
