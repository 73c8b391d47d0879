#!/usr/bin/env bash
# Runs the README's set-up on a brand-new Debian 12, as a new user would: makes
# a fresh root with mmdebstrap, clones this repository's committed HEAD into it
# and runs there, in the README's order,
#   ./run.sh            until the tracker's window shows; closed as a window
#                       manager would, it must end with status 0;
#   ./test.sh           (CI=true is passed on when set: a skipped test fails),
#                       which must leave a user's settings and unsaved songs,
#                       planted before it, as they were;
#   tools/build.sh fuzz the fuzz targets with clang and libFuzzer, which
#                       ./test.sh does not build (it replays their seeds in
#                       its ASan build): a break there fails CI too;
#   ./package.sh, apt install ./build/package/*.deb, and /usr/bin/kovo-tracker
#                       until its window shows; closed, status 0.
# Prints each step's time. The root is removed afterwards, also when a step
# fails. A clone on a used machine hides install faults; this does not.
#
# Run as root. Needs here: mmdebstrap, unshare (util-linux), git, Xvfb, xdotool,
# g++ and libx11-dev (for tools/close_window.cpp); .ci/run installs them.
# The windows show on an Xvfb of this machine, which the root reaches through
# its abstract socket: nothing of this machine is mounted into the root but
# /dev, /dev/pts, /proc and /sys, and only inside a mount namespace of its own,
# so no unmount or removal here can reach this machine's folders.
# usage: tools/fresh_machine.sh [WORK_PARENT]   (default /var/tmp)
set -euo pipefail

# ---- Inside the private mount namespace (see the end of the file) ----

repo_in_root=/root/kovo-tracker
path_in_root=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
timeout_window=3600  # a first build on a busy machine; the program itself shows its window at once

step_times=()
step_start=0

# Starts a step: its name is printed, its time taken.
begin() {
  step_name=$1
  step_start=$SECONDS
  printf '\n==== %s\n' "$step_name"
}

# Ends the step that is running, with its time.
end() {
  step_times+=("$(printf '%-34s %5d s' "$step_name" $((SECONDS - step_start)))")
  printf '==== %s: %d s\n' "$step_name" $((SECONDS - step_start))
  step_name=
}

print_times() {
  [ -n "${step_name:-}" ] &&
    step_times+=("$(printf '%-34s %5d s (failed)' "$step_name" $((SECONDS - step_start)))")
  step_name=
  printf '\n==== times of the steps\n'
  printf '  %s\n' "${step_times[@]}"
}

# Runs a command in the root as its root user, with a login's bare environment.
in_root() {
  local environment=(HOME=/root PATH="$path_in_root" LANG=C.UTF-8)
  [ -n "${CI:-}" ] && environment+=(CI="$CI")
  [ -n "${root_display:-}" ] && environment+=(DISPLAY="$root_display")
  chroot "$root" /usr/bin/env -i "${environment[@]}" "$@"
}

# The id of the mapped window whose title starts with "Kovo Tracker v", or nothing.
tracker_window() {
  DISPLAY=$root_display xdotool search --onlyvisible --name '^Kovo Tracker v' 2>/dev/null | head -n 1
}

# Waits until the program with this pid shows its window (printing the id),
# or fails when it ends first or takes too long.
wait_for_window() {
  local pid=$1 deadline=$((SECONDS + timeout_window)) window
  while [ $SECONDS -lt $deadline ]; do
    window=$(tracker_window)
    if [ -n "$window" ]; then
      echo "$window"
      return 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "it ended before its window showed" >&2
      return 1
    fi
    sleep 1
  done
  echo "no window after $timeout_window s" >&2
  return 1
}

# Closes the window as a window manager's close button does and checks that
# the program then ends with status 0.
close_and_check() {
  local pid=$1 window=$2 status=0 deadline=$((SECONDS + 60))
  DISPLAY=$root_display "$work/close_window" "$window"
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "still running 60 s after its window was asked to close" >&2
    return 1
  fi
  wait "$pid" || status=$?
  echo "exit status $status"
  [ "$status" -eq 0 ]
}

# Starts a program in the root that shows the tracker's window, waits for the
# window, closes it and checks the exit status.
window_step() {
  local pid window
  in_root "$@" &
  pid=$!
  if ! window=$(wait_for_window "$pid"); then
    kill "$pid" 2>/dev/null || true
    wait "$pid" || echo "exit status $?"
    return 1
  fi
  echo "window $window shows \"$(DISPLAY=$root_display xdotool getwindowname "$window")\""
  close_and_check "$pid" "$window"
}

mount_system_folders() {
  # The root is a mount point of its own, as on a real machine: the tests'
  # private mount namespaces (unshare -m) need "/" to be one.
  mount --bind "$root" "$root"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  # Shared memory of its own: JACK servers of the tests keep theirs there.
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  mount -t proc proc "$root/proc"
  mount --bind /sys "$root/sys"
}

# Unmounts what mount_system_folders mounted, innermost first. Only this
# namespace sees those mounts; they would end with it anyway.
unmount_system_folders() {
  local folder
  for folder in dev/shm dev/pts dev proc sys; do
    if mountpoint -q "$root/$folder"; then umount "$root/$folder" || umount --lazy "$root/$folder"; fi
  done
  if mountpoint -q "$root"; then umount "$root" || umount --lazy "$root"; fi
}

# Mount points at or below the root, as this namespace sees them.
mounts_in_root() {
  awk -v root="$root" '$5 == root || index($5, root "/") == 1 { print $5 }' /proc/self/mountinfo
}

# A user's own files where the tracker keeps them: the unsaved song of the
# tracker ./run.sh built, settings with FLAC exports and MIDI velocity off, and
# an installed tracker's unsaved song. ./test.sh must leave them as they are.
user_files=("root/kovo-tracker/build/release/bin/data/unsaved_song.dat" "root/.config/kovo-tracker/settings"
            "root/.local/share/kovo-tracker/unsaved_song.dat")

plant_user_files() {
  mkdir -p "$root/root/.config/kovo-tracker" "$root/root/.local/share/kovo-tracker"
  printf 'export_format=flac\nmidi_velocity=off\n' >"$root/root/.config/kovo-tracker/settings"
  local song=$root$repo_in_root/tests/fuzz/corpus/fuzz_song/notes_song
  cp "$song" "$root/${user_files[0]}"
  cp "$song" "$root/${user_files[2]}"
  (cd "$root" && sha256sum "${user_files[@]}") >"$work/user_files.sha256"
}

# Checks them, then takes them away again: the installed tracker starts as on a new machine.
check_user_files() {
  (cd "$root" && sha256sum --check "$work/user_files.sha256")
  (cd "$root" && rm -f "${user_files[@]}")
}

# After the steps, also failed ones: nothing left running in the root, nothing
# mounted, and the root removed here already, so that it goes even when the
# side of this machine was stopped (a killed shell runs no trap).
finish_inside() {
  local status=$?
  print_times
  end_processes_in_root
  unmount_system_folders
  if [ -z "$(mounts_in_root)" ]; then rm -rf --one-file-system "$root"; fi
  exit "$status"
}

inside() {
  trap finish_inside EXIT
  root_display=

  begin "new Debian 12 root (mmdebstrap)"
  if ! mmdebstrap --variant=apt --mode=root bookworm "$root" </dev/null >"$work/mmdebstrap.log" 2>&1; then
    tail -n 30 "$work/mmdebstrap.log" >&2
    return 1
  fi
  # The network settings a new machine has.
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  end

  begin "clone of $(git -C "$repo" rev-parse --short HEAD)"
  git clone --quiet --no-hardlinks "$repo" "$root$repo_in_root"
  git -C "$root$repo_in_root" checkout --quiet --detach "$(git -C "$repo" rev-parse HEAD)"
  git -C "$root$repo_in_root" log -1 --format='%h %s'
  mount_system_folders
  end

  root_display=$display
  begin "./run.sh until its window shows"
  window_step /usr/bin/env -C "$repo_in_root" ./run.sh
  end

  begin "a user's files planted"
  plant_user_files
  end

  root_display=
  begin "./test.sh"
  in_root /usr/bin/env -C "$repo_in_root" ./test.sh
  end

  begin "the user's files untouched by the tests"
  check_user_files
  end

  begin "tools/build.sh fuzz (clang, libFuzzer)"
  in_root /usr/bin/env -C "$repo_in_root" tools/build.sh fuzz
  end

  begin "./package.sh"
  in_root /usr/bin/env -C "$repo_in_root" ./package.sh
  end

  begin "apt install ./build/package/*.deb"
  in_root /bin/sh -c "cd $repo_in_root && apt install -y ./build/package/*.deb"
  end

  root_display=$display
  begin "/usr/bin/kovo-tracker until its window shows"
  window_step /usr/bin/env -C /root /usr/bin/kovo-tracker
  end
}

# ---- On this machine ----

# The ids of the processes whose root is the fresh root.
processes_in_root() {
  local entry
  for entry in /proc/[0-9]*; do
    [ "$(readlink "$entry/root" 2>/dev/null)" = "$root" ] && echo "${entry#/proc/}"
  done
  return 0
}

# Ends the programs the steps left running in the root, by their ids, and
# waits until they are gone.
end_processes_in_root() {
  local pids attempt
  for attempt in $(seq 50); do
    mapfile -t pids < <(processes_in_root)
    [ ${#pids[@]} -eq 0 ] && return 0
    kill -KILL "${pids[@]}" 2>/dev/null || true
    sleep 0.2
  done
  echo "processes still running in the root: ${pids[*]}" >&2
}

# Starts an Xvfb on a display number that no server here holds.
start_xvfb() {
  local number
  for number in $(seq 150 250); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    while kill -0 "$xvfb_pid" 2>/dev/null; do
      if DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
        display=":$number"
        return 0
      fi
      sleep 0.2
    done
    xvfb_pid=
  done
  echo "no Xvfb could start" >&2
  return 1
}

cleanup() {
  local status=$?
  local started=$SECONDS
  [ -n "${root:-}" ] && end_processes_in_root
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  if [ -n "${work:-}" ] && [ -d "$work" ]; then
    # The mounts were made in a namespace that has ended; none shows here.
    # Should one ever, nothing is removed.
    if grep -q " $work" /proc/self/mountinfo; then
      echo "something is still mounted below $work; not removed" >&2
      status=1
    else
      rm -rf --one-file-system "$work"
    fi
  fi
  echo "removing the root: $((SECONDS - started)) s; everything: $SECONDS s"
  exit "$status"
}

if [ "${1:-}" = --inside ]; then
  inside
  exit
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "tools/fresh_machine.sh makes a Debian root with mmdebstrap and chroot: run it as root" >&2
  exit 1
fi
for tool in mmdebstrap unshare git Xvfb xdotool g++; do
  command -v "$tool" >/dev/null || { echo "$tool is missing here (.ci/run installs what this needs)" >&2; exit 1; }
done

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
work=$(mktemp -d "${1:-/var/tmp}/kovo-fresh-machine.XXXXXX")
root=$work/root
xvfb_pid=
trap cleanup EXIT
echo "fresh Debian 12 root in $root"
g++ -std=c++17 -O2 -Wall -Wextra -Werror -o "$work/close_window" "$repo/tools/close_window.cpp" -lX11
start_xvfb
export repo work root display
# Every mount of the steps stays in a mount namespace of their own.
unshare --mount --propagation private "$BASH" "$0" --inside
