#!/usr/bin/env bash
# Installs the Debian packages the tracker needs: "build" for building and
# running it, "test" for that plus everything the tests use, "benchmark" for
# the tests' packages and the peer programs the benchmark compares. Installs only
# what is missing, so running it again is quick; then checks that every package
# named here is installed, since apt may remove one to make room for another.
set -euo pipefail

# Every package whose headers, .pc or CMake files the build reads is named, not
# left to another package's dependencies: apt picks the first of alternatives
# (librtmidi-dev accepts JACK 1, whose headers lack functions the MIDI input
# uses). tools/ and tests/ are configured with every build, so libx11-dev and
# libgtest-dev are build packages too; dpkg-dev and file make the package.
build_packages=(cmake ninja-build g++ pkg-config
                libglfw3-dev libgl-dev libglx-dev libx11-dev libxext-dev libopenal-dev libstb-dev libogg-dev libvorbis-dev
                libsndfile1-dev libopenmpt-dev librtmidi-dev libjack-jackd2-dev libasound2-dev libgtest-dev dpkg-dev file)
# jackd2: a real MIDI server (dummy backend); sox with its formats, flac, vorbis-tools, opus-tools, mpg123 and
# id3v2: decoders and tag readers that are not ours; lintian, desktop-file-utils, appstream, shared-mime-info,
# xdg-utils, man-db: Debian's own checks of the package; libglib2.0-bin: gio, which xdg-mime asks for a file's
# MIME type; lld: the linker tools/build.sh prefers (it links the test programs several times faster); clang-14
# and its runtime: the fuzz targets; strace: the song file tests watch the program's syncs; x11-utils: xprop, which
# reads the icon the window gives the window manager; xclip: the other program on the X clipboard; x11-xkb-utils:
# setxkbmap, which loads other keyboards into the tests' Xvfb; mount: a small disk of the export tests' own (a
# tmpfs in a private mount namespace), which a minimal Debian lacks. openmpt123 (libopenmpt), xmp (libxmp), python3-mido,
# timidity with freepats: what reads back the MOD and MIDI exports; python3-numpy: the pitch tracker that compares
# them with the tracker's own sound.
test_packages=(xvfb xauth xdotool x11-utils sox libsox-fmt-all strace clang-14 libclang-rt-14-dev lld xclip x11-xkb-utils
               mount openmpt123 xmp python3-mido python3-numpy timidity freepats
               jackd2 flac vorbis-tools opus-tools mpg123 id3v2
               lintian desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin man-db groff-base fakeroot)
# Peer trackers that tools/benchmark.sh runs for comparison; libxtst-dev: the key presses of
# tools/latency_benchmark.sh, sent the way a keyboard sends them (XTEST).
benchmark_packages=(goattracker milkytracker libxtst-dev)

case "${1:-build}" in
  build) packages=("${build_packages[@]}") ;;
  test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  benchmark) packages=("${build_packages[@]}" "${test_packages[@]}" "${benchmark_packages[@]}") ;;
  *) echo "usage: $0 [build|test|benchmark]" >&2; exit 2 ;;
esac

# The named packages that are not installed.
not_installed() {
  local package
  for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$package"
    fi
  done
}

mapfile -t missing < <(not_installed)
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

mapfile -t gone < <(not_installed)
if [ ${#gone[@]} -ne 0 ]; then
  echo "apt left these packages uninstalled or removed them while installing the others: ${gone[*]}" >&2
  echo "Two of the packages conflict here; see  apt-get -s install ${gone[*]}" >&2
  exit 1
fi
