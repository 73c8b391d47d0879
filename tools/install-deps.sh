#!/usr/bin/env bash
# Installs the Debian packages the tracker needs: "build" for building and
# running it, "test" for that plus everything the tests use, "benchmark" for
# the tests' packages and the peer programs the benchmark compares. Installs only
# what is missing, so running it again is quick.
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config libglfw3-dev libgl-dev libopenal-dev libstb-dev libvorbis-dev
                libsndfile1-dev librtmidi-dev libgtest-dev dpkg-dev file)
# jackd2: a real MIDI server (dummy backend); sox with its formats, flac, vorbis-tools, opus-tools, mpg123 and
# id3v2: decoders and tag readers that are not ours; lintian, desktop-file-utils, appstream, shared-mime-info,
# xdg-utils, man-db: Debian's own checks of the package; libglib2.0-bin: gio, which xdg-mime asks for a file's
# MIME type; lld: the linker tools/build.sh prefers (it links the test programs several times faster); xclip: the
# other program on the X clipboard; x11-xkb-utils: setxkbmap, which loads other keyboards into the tests' Xvfb.
test_packages=(xvfb xauth xdotool libx11-dev sox libsox-fmt-all strace clang-14 libclang-rt-14-dev lld xclip x11-xkb-utils
               jackd2 flac vorbis-tools opus-tools mpg123 id3v2
               lintian desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin man-db groff-base fakeroot)
# Peer trackers that tools/benchmark.sh runs for comparison.
benchmark_packages=(goattracker milkytracker)

packages=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then packages+=("${test_packages[@]}"); fi
if [ "${1:-build}" = benchmark ]; then packages+=("${test_packages[@]}" "${benchmark_packages[@]}"); fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root, and there is no sudo here. As root, run:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
