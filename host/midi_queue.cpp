#include "host/midi_queue.h"

void MidiQueue::push(const std::uint8_t* bytes, std::size_t length)
{
    if (length == 0 || length > 255) return;
    std::size_t write = written_.load(std::memory_order_relaxed);
    std::size_t used = write - read_.load(std::memory_order_acquire);
    if (byteCapacity - used < length + 1) return;
    ring_[write % byteCapacity] = static_cast<std::uint8_t>(length);
    for (std::size_t i = 0; i < length; ++i) ring_[(write + 1 + i) % byteCapacity] = bytes[i];
    // Published whole, so the step never sees half a message.
    written_.store(write + 1 + length, std::memory_order_release);
}

void MidiQueue::takeArrived()
{
    std::size_t read = read_.load(std::memory_order_relaxed);
    const std::size_t written = written_.load(std::memory_order_acquire);
    // A message may hold several notes (running status): it waits for the
    // next step unless all of them fit; a step that starts empty takes it
    // anyway and drops what is more than a step holds.
    while (read != written) {
        std::size_t length = byteAt(read);
        if (noteCount_ > 0 && noteCount_ + length / 2 > stepCapacity) break;
        for (std::size_t i = 0; i < length; ++i) {
            MidiNote note;
            if (parser_.feed(byteAt(read + 1 + i), note) && noteCount_ < stepCapacity) notes_[noteCount_++] = note;
        }
        read += 1 + length;
    }
    read_.store(read, std::memory_order_release);
}
