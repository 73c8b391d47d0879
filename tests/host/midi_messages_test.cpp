// MIDI bytes read into notes, and their way through the queue to the update
// step.
#include "host/midi_messages.h"
#include "host/midi_queue.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Notes = std::vector<std::pair<int, int>>;

Notes parse(const std::vector<std::uint8_t>& bytes)
{
    MidiParser parser;
    Notes notes;
    MidiNote note;
    for (std::uint8_t byte : bytes) {
        if (parser.feed(byte, note)) notes.emplace_back(note.note, note.velocity);
    }
    return notes;
}

Notes taken(const MidiQueue& queue)
{
    Notes notes;
    for (const MidiNote& note : queue) notes.emplace_back(note.note, note.velocity);
    return notes;
}

void pushNoteOn(MidiQueue& queue, int note)
{
    const std::uint8_t bytes[] = {0x90, static_cast<std::uint8_t>(note), 100};
    queue.push(bytes, 3);
}

} // namespace

TEST(MidiParser, OnlyNoteOnsWithAVelocityGiveNotes)
{
    EXPECT_EQ(parse({0x90, 60, 100, 0x9F, 61, 1}), (Notes {{60, 100}, {61, 1}}));  // any channel
    EXPECT_EQ(parse({0x90, 60, 0, 0x80, 60, 64}), Notes {});                      // both are note-offs
    // Aftertouch, controller, program change, channel pressure, pitch bend:
    // their data bytes never read as notes.
    EXPECT_EQ(parse({0xA0, 60, 70, 0xB0, 7, 100, 0xC0, 60, 0xD0, 60, 0xE0, 60, 70}), Notes {});
}

TEST(MidiParser, RunningStatusRealTimeBytesAndSystemMessagesAreReadCorrectly)
{
    // Running status, with clock and active sensing in the middle of a message.
    EXPECT_EQ(parse({0x90, 60, 0xF8, 90, 62, 0xFE, 91, 64, 0}), (Notes {{60, 90}, {62, 91}}));
    // Running status after a program change carries the program change on.
    EXPECT_EQ(parse({0xC0, 60, 61, 62}), Notes {});
    // Sysex data, song position and song select end running status and are skipped.
    EXPECT_EQ(parse({0x90, 0xF0, 60, 100, 0xF7, 60, 100}), Notes {});
    EXPECT_EQ(parse({0x90, 60, 100, 0xF2, 62, 100, 63, 100}), (Notes {{60, 100}}));
    EXPECT_EQ(parse({0xF3, 60, 62, 100, 0x90, 64, 100}), (Notes {{64, 100}}));
    // Stray data bytes before any status; a message cut short by a new status.
    EXPECT_EQ(parse({60, 100, 0x90, 60, 0x90, 62, 100}), (Notes {{62, 100}}));
}

TEST(MidiQueue, ArrivalsAreSeenByExactlyTheNextStepInOrder)
{
    MidiQueue queue;
    for (int note : {60, 64, 67}) pushNoteOn(queue, note);
    queue.takeArrived();
    EXPECT_EQ(taken(queue), (Notes {{60, 100}, {64, 100}, {67, 100}}));
    pushNoteOn(queue, 72);  // during the step: for the next one
    EXPECT_EQ(queue.size(), 3u);
    queue.clearStep();
    queue.takeArrived();
    EXPECT_EQ(taken(queue), (Notes {{72, 100}}));
    queue.clearStep();
    queue.takeArrived();
    EXPECT_EQ(queue.size(), 0u);
}

TEST(MidiQueue, AFloodWaitsForLaterStepsAndAFullQueueDropsWholeMessages)
{
    MidiQueue queue;
    for (int i = 0; i < 70; ++i) pushNoteOn(queue, 40 + i);
    queue.takeArrived();
    ASSERT_EQ(queue.size(), MidiQueue::stepCapacity);
    EXPECT_EQ(queue.begin()[63].note, 103);
    queue.clearStep();
    queue.takeArrived();
    ASSERT_EQ(queue.size(), 6u);
    EXPECT_EQ(queue.begin()[0].note, 104);
    queue.clearStep();

    // Four bytes a message: 2048 fit, the rest are dropped, none cut.
    for (int i = 0; i < 3000; ++i) pushNoteOn(queue, 60);
    int total = 0;
    for (int step = 0; step < 40; ++step) {
        queue.takeArrived();
        for (const MidiNote& note : queue) EXPECT_EQ(note.velocity, 100);
        total += static_cast<int>(queue.size());
        queue.clearStep();
    }
    EXPECT_EQ(total, static_cast<int>(MidiQueue::byteCapacity / 4));
}
