// Notes from a MIDI keyboard in the editor: pushed into the input device's
// MIDI queue as the MIDI library's thread does, taken by the next step.
#include "app/keys/midi_notes.h"
#include "app/playing/audio_channels.h"
#include "tests/app/parts_fixture.h"
#include "tests/app/tracker_fixture.h"

#include "host/input_device.h"
#include "host/key_translation.h"

#include <AL/al.h>

namespace {

// A MIDI keyboard at the input device that a fixture's steps read.
template <typename Fixture>
class MidiKeyboard : public Fixture {
protected:
    virtual c_InputDevice& device() = 0;

    void noteOn(int note, int velocity)
    {
        const std::uint8_t bytes[] = {0x90, static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)};
        device().midiQueue.push(bytes, 3);
    }

    // Note, volume, instrument and octave of channel 1's row (0..31).
    std::u32string row(int index) const
    {
        return {this->cell(notes1, index), this->cell(volumes1, index), this->cell(instruments1, index),
                this->cell(octaves1, index)};
    }
};

// The pattern editor with its song, while Editing.
class MidiNotesAlone : public MidiKeyboard<PartsFixture> {
protected:
    void SetUp() override
    {
        MidiKeyboard::SetUp();
        transport.switchEditing();
    }
    c_InputDevice& device() override { return input; }
};

// The whole tracker, while Editing: what the notes sound, in each state.
class MidiNotes : public MidiKeyboard<TrackerFixture> {
protected:
    void SetUp() override
    {
        MidiKeyboard::SetUp();
        if (HasFatalFailure()) return;
        pressAndStep(keySpace);  // Editing
    }
    c_InputDevice& device() override { return *inputDevice(); }
};

} // namespace

TEST(MidiNoteCell, TheEntryOctaveIsKeptWhereItReachesElseTheNearestThatDoes)
{
    struct Case {
        int note, entryOctave;
        char32_t key;
        int octave;
    };
    const Case cases[] = {
        {60, 2, U'y', 2}, {61, 2, U's', 2}, {88, 2, U'p', 2},  // the entry octave's 29 keys
        {48, 2, U'y', 1}, {47, 2, U'm', 0},                     // below it
        {89, 2, U'r', 3}, {100, 2, U'p', 3}, {64, 0, U'p', 0},  // above it, or reached from below
        {72, 0, U'i', 1}, {72, 3, U'y', 3}, {36, 3, U'y', 0},
    };
    for (const Case& c : cases) {
        std::optional<MidiCell> cell = midiNoteCell(c.note, c.entryOctave);
        ASSERT_TRUE(cell) << c.note;
        EXPECT_EQ(cell->note, c.key) << c.note << " at octave " << c.entryOctave;
        EXPECT_EQ(cell->octave, c.octave) << c.note << " at octave " << c.entryOctave;
    }
    EXPECT_FALSE(midiNoteCell(35, 0));
    EXPECT_FALSE(midiNoteCell(101, 3));
}

TEST(MidiNoteCell, VelocityRoundsUpToAVolumeDigit)
{
    const std::pair<int, char32_t> cases[] = {{1, U'1'}, {8, U'1'}, {9, U'2'}, {64, U'8'}, {100, U'C'}, {119, U'F'}, {127, U'F'}};
    for (auto [velocity, digit] : cases) EXPECT_EQ(velocityDigit(velocity), digit) << velocity;
}

TEST_F(MidiNotes, ANoteIsWrittenAtTheCursorLikeATypedOneWithAnUndoSnapshot)
{
    engine->cursor.column = 2;  // the volume column still writes the channel's note column
    int slot = engine->undo.slot();
    noteOn(60, 127);
    step();
    EXPECT_EQ(row(0), U"yF12");
    EXPECT_EQ(engine->cursor.row, 2);
    EXPECT_EQ(engine->undo.slot(), slot + 1);
    EXPECT_EQ(channelState(1), AL_PLAYING);
    step();  // seen by one step only
    EXPECT_EQ(row(1), U".000");
    engine->undo.restoreUndoSnapshot();
    EXPECT_EQ(cell(notes1, 0), U'.');
}

TEST_F(MidiNotesAlone, AChordOnTheLastRowsGoesOnAtTheFirstInTheOrderPlayed)
{
    cursor.row = 31;
    for (int note : {60, 64, 67}) noteOn(note, 64);
    step();
    EXPECT_EQ(row(30), U"y812");
    EXPECT_EQ(row(31), U"c812");
    EXPECT_EQ(row(0), U"b812");
    EXPECT_EQ(cursor.row, 2);
}

TEST_F(MidiNotesAlone, WithVelocityOffTheVolumeDigitFollowsTheTypedRule)
{
    keys.useMidiVelocity(false);
    song.patternColumns[volumes1].set(1, U'C');
    noteOn(60, 127);
    noteOn(62, 1);
    step();
    EXPECT_EQ(row(0), U"y812");
    EXPECT_EQ(row(1), U"xC12");
}

TEST_F(MidiNotes, StandbyOnlySoundsAndANameFieldOrPlayingTakesNothing)
{
    pressAndStep(keySpace);  // Standby
    noteOn(60, 100);
    step();
    EXPECT_EQ(cell(notes1, 0), U'.');
    EXPECT_EQ(engine->cursor.row, 1);
    EXPECT_EQ(channelState(1), AL_PLAYING);

    stopAllChannels();
    engine->files.editSongName(true);
    noteOn(60, 100);
    step();
    EXPECT_NE(channelState(1), AL_PLAYING);
    EXPECT_TRUE(engine->identity.songName.empty());
    engine->files.editSongName(false);

    pressAndStep(keySpace);  // Editing
    pressAndStep(keyF1);     // playing
    noteOn(60, 100);
    step();
    pressAndStep(keyF1);
    step();
    EXPECT_EQ(cell(notes1, 0), U'.');
}
