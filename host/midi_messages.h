// MIDI bytes as a keyboard or another program sends them, read into the only
// events the tracker acts on: notes struck.
#pragma once

#include <cstddef>
#include <cstdint>

struct MidiNote {
    int note = 0;      // 0..127, 60 = middle C
    int velocity = 0;  // 1..127
};

// Reads a byte stream message by message: running status, real-time bytes in
// the middle of a message, system messages and sysex are taken correctly and
// skipped. A note-on of velocity 0 is a note-off, so it gives nothing.
class MidiParser {
public:
    // Feeds one byte; true when it completes a note-on, which is then in note.
    bool feed(std::uint8_t byte, MidiNote& note);

private:
    void startMessage(std::uint8_t status);

    std::uint8_t runningStatus_ = 0;  // 0: none, data bytes are dropped
    int needed_ = 0;                  // data bytes of the current message
    int have_ = 0;
    std::uint8_t data_[2] {};
    bool inSysex_ = false;
};
