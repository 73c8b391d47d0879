// The MIDI input on a JACK server of the test's own, in this process: a
// sender that appears is connected by itself, its notes reach the input
// device's queue whole and in order, each message wakes the host's loop, and
// closing the input at any moment ends its threads.
#include "midi/midi_input.h"

#include "host/input_wake.h"
#include "host/midi_queue.h"
#include "tests/support/midi/jack_server.h"
#include "tests/support/midi/midi_sender.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

constexpr const char* inputPort = "Kovo Tracker:notes in";

JackServer& jack()
{
    static JackServer server;
    return server;
}

std::atomic<int> wakes {0};
void countWake() { ++wakes; }

// The notes the queue holds for one step, as the step reads them.
std::vector<MidiNote> takeStep(MidiQueue& queue)
{
    queue.takeArrived();
    std::vector<MidiNote> notes(queue.begin(), queue.end());
    queue.clearStep();
    return notes;
}

// Steps until the count of notes has arrived or the time is up.
std::vector<MidiNote> collectNotes(MidiQueue& queue, size_t count)
{
    std::vector<MidiNote> notes;
    waitFor(
        [&] {
            for (const MidiNote& note : takeStep(queue)) notes.push_back(note);
            return notes.size() >= count;
        },
        20);
    return notes;
}

class MidiInputTest : public testing::Test {
protected:
    void SetUp() override
    {
        wakes = 0;
        setInputWake(countWake);
    }
    void TearDown() override { setInputWake(nullptr); }
};

TEST_F(MidiInputTest, ASenderIsConnectedByItselfAndItsNotesArriveInOrderEachWakingTheLoop)
{
    ASSERT_TRUE(jack().running());
    MidiQueue queue;
    MidiInput input(queue);
    MidiSender sender("test keyboard");
    ASSERT_TRUE(waitFor([&] { return jack().connected(sender.portName(), inputPort); }, 20))
        << "the sender was never connected to " << inputPort;

    sender.noteOn(60, 100);
    sender.noteOn(64, 1);
    sender.send({0x80, 60, 0});  // a note-off gives nothing
    sender.noteOn(67, 127);
    std::vector<MidiNote> notes = collectNotes(queue, 3);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].note, 60);
    EXPECT_EQ(notes[0].velocity, 100);
    EXPECT_EQ(notes[1].note, 64);
    EXPECT_EQ(notes[1].velocity, 1);
    EXPECT_EQ(notes[2].note, 67);
    EXPECT_EQ(notes[2].velocity, 127);
    EXPECT_TRUE(waitFor([] { return wakes.load() >= 4; }, 20)) << "wakes: " << wakes.load();
}

// Once the input is closed, a message that still comes wakes nothing and
// reaches no queue; a new input takes the sender again.
TEST_F(MidiInputTest, AClosedInputLetsGoOfTheQueueAndANewOneConnectsAgain)
{
    ASSERT_TRUE(jack().running());
    MidiSender sender("second keyboard");
    MidiQueue first;
    {
        MidiInput input(first);
        ASSERT_TRUE(waitFor([&] { return jack().connected(sender.portName(), inputPort); }, 20));
    }
    EXPECT_FALSE(jack().connected(sender.portName(), inputPort));
    int wakesBefore = wakes.load();
    sender.noteOn(62, 90);
    MidiQueue second;
    MidiInput input(second);
    ASSERT_TRUE(waitFor([&] { return jack().connected(sender.portName(), inputPort); }, 20));
    sender.noteOn(65, 80);
    std::vector<MidiNote> notes = collectNotes(second, 1);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].note, 65);
    EXPECT_TRUE(takeStep(first).empty());
    // The input wakes the loop just after it queues the note, so the note can
    // be taken a moment before the wake is counted.
    EXPECT_TRUE(waitFor([&] { return wakes.load() >= wakesBefore + 1; }, 20)) << "wakes: " << wakes.load();
}

// The input is opened on a thread of its own; closing it while that thread
// still asks the server must neither hang nor leave a thread running.
TEST_F(MidiInputTest, ClosingRightAfterOpeningEndsItsThreads)
{
    ASSERT_TRUE(jack().running());
    for (int round = 0; round < 5; ++round) {
        MidiQueue queue;
        MidiInput input(queue);
    }
    MidiQueue queue;
    EXPECT_TRUE(takeStep(queue).empty());
}

} // namespace
