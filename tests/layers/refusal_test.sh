#!/usr/bin/env bash
# The layer check refuses an upward include in a library, between libraries
# side by side (the MIDI library beside the audio one among them) and in a
# test, and a library other than the host or the MIDI one that includes GLFW
# or RtMidi, and an application part outside the folders named for it or
# one that includes the wiring at the application's top; it lets the includes
# that point down pass.
set -u
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{base,host,io,audio,midi,framework,app/keys,app/screen,app/misc,tests/io,tests/midi,tools}
printf '#include "base/text.h"\n#include "host/console.h"\n' > "$tree/io/fine.cpp"
printf '#include "host/game.h"\n#include "song/song_file.h"\n#include "graphics/image.h"\n' > "$tree/app/fine.cpp"
printf '#include "host/midi_queue.h"\n' > "$tree/midi/fine.cpp"
printf '#include "midi/midi_input.h"\n' > "$tree/framework/fine.cpp"
printf '#include "midi/midi_input.h"\n#include <RtMidi.h>\n' > "$tree/tests/midi/fine_test.cpp"
printf '#include <GLFW/glfw3.h>\n' > "$tree/host/window.cpp"
printf '#include "app/screen/screen.h"\n' > "$tree/app/keys/fine.cpp"
printf '#include "app/keys/fine.h"\n' > "$tree/app/wiring.cpp"
if ! "$check" "$tree"; then echo "includes that point down were refused"; exit 1; fi

printf '#include "graphics/renderer.h"\n' > "$tree/host/up.cpp"
printf '#include "host/game.h"\n' > "$tree/base/up.cpp"
printf '#include "audio/sound.h"\n' > "$tree/io/beside.h"
printf '#include "song/song_file.h"\n' > "$tree/tests/io/up_test.cpp"
printf '#include "midi/midi_input.h"\n' > "$tree/audio/beside.cpp"
printf '#include "framework/app.h"\n' > "$tree/midi/up.cpp"
printf '#include "framework/app.h"\n' > "$tree/tests/midi/up_test.cpp"
printf '#include <cstdio>\n#include <GLFW/glfw3.h>\n' > "$tree/framework/entry.cpp"
printf '#include <RtMidi.h>\n' > "$tree/host/midi.cpp"
printf '#include "app/wiring.h"\n' > "$tree/app/screen/up.cpp"
printf '\n' > "$tree/app/misc/stray.h"
output=$("$check" "$tree") && { echo "upward includes passed"; exit 1; }
status=0
for expected in "host/up.cpp:1:" "base/up.cpp:1:" "io/beside.h:1:" "tests/io/up_test.cpp:1:" "audio/beside.cpp:1:" "midi/up.cpp:1:" \
    "tests/midi/up_test.cpp:1:" "framework/entry.cpp:2: platform include" "host/midi.cpp:1: platform include" \
    "app/screen/up.cpp:1: a part includes the wiring" "app/misc/stray.h: app/misc/ is not a folder"; do
    grep -qF "$expected" <<<"$output" || { echo "not reported: $expected"; status=1; }
done
[ "$(wc -l <<<"$output")" -eq 11 ] || { echo "reported more than the eleven: $output"; status=1; }
exit $status
