// MIDI messages on their way from the MIDI library's thread to the update
// step: pushed as they arrive, taken in order at the start of the next step,
// where they are seen by exactly that one step, like key presses.
#pragma once

#include "host/midi_messages.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

class MidiQueue {
public:
    static constexpr std::size_t byteCapacity = 8192;
    static constexpr std::size_t stepCapacity = 64;

    // One thread only (the MIDI library's); never blocks. A message that does
    // not fit is dropped whole; longer than 255 bytes it is a sysex, which
    // gives no notes anyway.
    void push(const std::uint8_t* bytes, std::size_t length);

    // Main thread. Reads the messages that have arrived into this step's
    // notes; what does not fit in one step waits for the next.
    void takeArrived();
    // Main thread: the step is over, its notes are gone.
    void clearStep() { noteCount_ = 0; }

    const MidiNote* begin() const { return notes_.data(); }
    const MidiNote* end() const { return notes_.data() + noteCount_; }
    std::size_t size() const { return noteCount_; }

private:
    std::uint8_t byteAt(std::size_t index) const { return ring_[index % byteCapacity]; }

    std::array<std::uint8_t, byteCapacity> ring_ {};
    // Counters that only grow; the ring index is their remainder.
    std::atomic<std::size_t> written_ {0};
    std::atomic<std::size_t> read_ {0};

    MidiParser parser_;
    std::array<MidiNote, stepCapacity> notes_ {};
    std::size_t noteCount_ = 0;
};
