#include "host/midi_messages.h"

namespace {

constexpr std::uint8_t noteOnStatus = 0x90;
constexpr std::uint8_t sysexStart = 0xF0;

// Data bytes that follow a status byte: channel messages by their high
// nibble 8..E, system common messages by their low nibble F0..F7.
constexpr int channelDataBytes[7] = {2, 2, 2, 2, 1, 1, 2};
constexpr int systemDataBytes[8] = {0, 1, 2, 1, 0, 0, 0, 0};
static_assert(sizeof(channelDataBytes) / sizeof(int) == 0xE - 0x8 + 1);
static_assert(sizeof(systemDataBytes) / sizeof(int) == 8);

} // namespace

void MidiParser::startMessage(std::uint8_t status)
{
    have_ = 0;
    inSysex_ = status == sysexStart;
    if (status < 0xF0) {
        runningStatus_ = status;
        needed_ = channelDataBytes[(status >> 4) - 8];
    } else {
        // System common messages end running status; their data is skipped.
        runningStatus_ = 0;
        needed_ = systemDataBytes[status & 0x07];
    }
}

bool MidiParser::feed(std::uint8_t byte, MidiNote& note)
{
    if (byte >= 0xF8) return false;  // real-time: clock, start, sensing, reset
    if (byte & 0x80) {
        startMessage(byte);
        return false;
    }
    if (inSysex_) return false;
    if (runningStatus_ == 0) {
        // The data of a system common message, or stray bytes.
        if (needed_ > 0) needed_ -= 1;
        return false;
    }
    data_[have_++] = byte;
    if (have_ < needed_) return false;
    have_ = 0;
    if ((runningStatus_ & 0xF0) != noteOnStatus || data_[1] == 0) return false;
    note.note = data_[0];
    note.velocity = data_[1];
    return true;
}
