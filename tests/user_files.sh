#!/usr/bin/env bash
# The files of the person running the tests, planted before a test run and
# checked after it:
#   user_files.sh plant TEST_USER DATA_FOLDER SONG
#   user_files.sh check TEST_USER DATA_FOLDER
# TEST_USER/home is the HOME every test runs with: its settings file says
# export_format=flac and midi_velocity=off, and its data folder holds an
# unsaved song. DATA_FOLDER is the build's data folder, which ./run.sh's
# tracker uses: an unsaved song there is the user's and is left as it is;
# without one, one is planted and removed again by the check. Planting also
# gives the tests fresh XDG folders (TEST_USER/tests).
set -euo pipefail
mode=$1 user=$2 data=$3
home=$user/home
sums=$user/planted.sha256
marker=$user/planted-unsaved-song

# What the files hold: their checksums, and what the user's songs folders hold.
inventory() {
  for folder in "$data/songs" "$home/.local/share/kovo-tracker/songs"; do
    echo "== $folder"
    find "$folder" -mindepth 1 ! -name tmp.dat -printf '%P %s %T@\n' 2>/dev/null | sort
  done
}

unsaved_song() {
  printf 'Kovo Tracker unsaved song 1\n1 1 0 7\nplanted\n'
  cat "$1"
}

case $mode in
plant)
  song=$4
  rm -rf "$user/tests"
  mkdir -p "$user/tests" "$home/.config/kovo-tracker" "$home/.local/share/kovo-tracker/songs"
  printf 'export_format=flac\nmidi_velocity=off\n' >"$home/.config/kovo-tracker/settings"
  unsaved_song "$song" >"$home/.local/share/kovo-tracker/unsaved_song.dat"
  # A planted song that an interrupted run left is still the tests' own.
  if [ -e "$marker" ] && ! unsaved_song "$song" | cmp -s - "$data/unsaved_song.dat"; then
    rm -f "$marker"
  fi
  if [ ! -e "$data/unsaved_song.dat" ]; then
    unsaved_song "$song" >"$data/unsaved_song.dat"
    touch "$marker"
  fi
  sha256sum "$home/.config/kovo-tracker/settings" "$home/.local/share/kovo-tracker/unsaved_song.dat" \
    "$data/unsaved_song.dat" >"$sums"
  inventory >"$user/planted.inventory"
  ;;
check)
  status=0
  sha256sum --quiet -c "$sums" || status=1
  if ! inventory | diff "$user/planted.inventory" - >&2; then
    echo "the tests changed the user's songs folders" >&2
    status=1
  fi
  if [ -e "$marker" ]; then
    rm -f "$data/unsaved_song.dat" "$marker"
  fi
  exit $status
  ;;
*)
  echo "usage: $0 plant|check TEST_USER DATA_FOLDER [SONG]" >&2
  exit 2
  ;;
esac
