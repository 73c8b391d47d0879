// Composing while the song plays: Ctrl+R's live editing, Ctrl+L's loops and
// Ctrl+Enter's single rows, driven through the input device.
#include "tests/app/tracker_fixture.h"

#include "app/playing/transport.h"
#include "app/screen/status_texts.h"
#include "host/key_translation.h"
#include "player/kovo_play.h"
#include "tests/support/loopback_audio.h"
#include "tests/support/test_user_files.h"

#include <AL/al.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class LiveEditing : public TrackerFixture {
protected:
    void control(int key)
    {
        hold(keyControl);
        press(key);
        step();
        release(keyControl);
    }
    void stepUntilRowRead(int row)
    {
        for (int i = 0; i < 2000 && player().soundingPlace().row != row; ++i) step();
        ASSERT_EQ(player().soundingPlace().row, row);
    }
    const c_kovoPlay& player() { return *engine->transport.player(); }
    char32_t playerCell(int column, int index) { return player().song().patternColumns[column][index]; }
};

} // namespace

TEST_F(LiveEditing, CtrlRSwitchesLiveEditingWhilePlayingAndTransportKeysLeaveIt)
{
    pressAndStep(keyF2);
    ASSERT_EQ(engine->status.text(), U"Playing...");
    control('R');
    EXPECT_TRUE(engine->transport.live());
    EXPECT_EQ(engine->transport.state(), statePlaying);
    EXPECT_EQ(engine->status.text(), U"Recording...");
    for (int i = 0; i < 30; ++i) step();
    EXPECT_EQ(engine->status.text(), U"Recording...");
    control('R');
    EXPECT_FALSE(engine->transport.live());
    // The row clock goes on from where the player is.
    EXPECT_EQ(engine->transport.rowInPattern(), player().soundingPlace().row);
    EXPECT_EQ(engine->status.text(), U"Playing...");
    EXPECT_EQ(engine->transport.state(), statePlaying);

    // Space stops as it always has, and the next playback is not live.
    control('R');
    pressAndStep(keySpace);
    EXPECT_FALSE(engine->transport.live());
    pressAndStep(keyF2);
    EXPECT_FALSE(engine->transport.live());
    EXPECT_EQ(engine->status.text(), U"Playing...");
}

TEST_F(LiveEditing, CtrlRNotPlayingPlaysFromTheCurrentPositionLive)
{
    engine->song.songLengthRows = 4 * rowsPerPattern;
    engine->transport.goToPosition(2);
    engine->cursor.row = 7;
    control('R');
    ASSERT_TRUE(engine->transport.live());
    EXPECT_EQ(player().upcomingPlace().position, 2);
    EXPECT_EQ(engine->cursor.row, 7);
    EXPECT_EQ(engine->status.text(), U"Recording...");
}

TEST_F(LiveEditing, WithoutLiveEditingKeysWriteNothingWhilePlaying)
{
    pressAndStep(keySpace);
    pressAndStep(keyF2);
    typeStepwise(U"q");
    EXPECT_EQ(engine->song.patternColumns[notes1], blankColumn(notes1));
}

// FLW Off: the cursor stays where the musician puts it, the note lands
// there, the player holds it at the next tick, and Ctrl+Z takes it back out
// of what plays.
TEST_F(LiveEditing, EditsAtTheCursorReachThePlayerAndUndoTakesThemBack)
{
    control('R');
    engine->cursor.row = 10;
    typeStepwise(U"q");
    EXPECT_EQ(cell(notes1, 9), U'q');
    EXPECT_EQ(engine->cursor.row, 11);
    step();
    EXPECT_EQ(playerCell(notes1, 9), U'q');
    EXPECT_EQ(playerCell(volumes1, 9), U'8');

    control('Z');
    step();
    EXPECT_EQ(cell(notes1, 9), blankColumn(notes1)[9]);
    EXPECT_EQ(playerCell(notes1, 9), blankColumn(notes1)[9]);
    control('Y');
    step();
    EXPECT_EQ(playerCell(notes1, 9), U'q');
    EXPECT_TRUE(engine->transport.live());
}

// The player holds the channels while the song plays, so it sounds a note
// written live itself, on its channel only.
TEST_F(LiveEditing, ANoteWrittenLiveSoundsAtOnceOnItsChannel)
{
    engine->song.instrumentParams[1 * slotsPerInstrument + slotWave] = 1;
    engine->song.instrumentParams[1 * slotsPerInstrument + slotEnvelope] = 15;
    control('R');
    engine->cursor.row = 20;
    engine->cursor.column = 3;  // channel 2
    step();
    ASSERT_NE(channelState(2), AL_PLAYING);
    typeStepwise(U"q");
    EXPECT_EQ(channelState(2), AL_PLAYING);
    EXPECT_GT(channelGain(2), 0.0f);
    EXPECT_EQ(player().voice(1).note, 12.0f);
    EXPECT_NE(channelState(1), AL_PLAYING);
}

TEST_F(LiveEditing, RowAndInstrumentEditsReachThePlayer)
{
    control('R');
    engine->cursor.row = 3;
    engine->cursor.column = 2;
    typeStepwise(U"a");
    EXPECT_EQ(cell(volumes1, 2), U'A');
    engine->cursor.row = 1;
    pressAndStep(keyInsert);
    EXPECT_EQ(cell(volumes1, 3), U'A');
    step();
    EXPECT_EQ(playerCell(volumes1, 3), U'A');

    engine->song.instrumentParams[3] += 1;
    step();
    EXPECT_EQ(player().song().instrumentParams[3], engine->song.instrumentParams[3]);
}

// FLW On: screen and cursor go with the player's own row, and a note lands on
// the row heard.
TEST_F(LiveEditing, FollowingLiveTheCursorIsThePlayersRowAndNotesLandOnIt)
{
    engine->transport.follow(true);
    control('R');
    stepUntilRowRead(5);
    EXPECT_EQ(engine->transport.rowInPattern(), 5);
    EXPECT_EQ(engine->cursor.row, 6);
    EXPECT_EQ(engine->transport.viewBase(), 0);

    // Where exactly goes by the device's clock, which runs on its own here
    // (LiveRecording pins it down): the row read, or one next to it.
    type(U"q");
    int sounding = player().soundingPlace().row;
    step();
    String notes = engine->song.patternColumns[notes1].substr(0, rowsPerPattern);
    size_t written = notes.find(U'q');
    ASSERT_NE(written, String::npos);
    EXPECT_LE(std::abs(static_cast<int>(written) - sounding), 1) << narrow(notes);
    EXPECT_EQ(notes.find(U'q', written + 1), String::npos);
}

// A pattern that ends early: the player goes on to the next position at
// once, and so does the screen while live.
TEST_F(LiveEditing, FollowingLiveTheScreenKeepsUpAfterAPatternEnd)
{
    engine->song.songLengthRows = 2 * rowsPerPattern;
    engine->song.positions[1] = 1;
    engine->song.patternColumns[notes1][4] = U'-';
    engine->transport.follow(true);
    control('R');
    for (int i = 0; i < 2000 && player().soundingPlace().position != 1; ++i) step();
    ASSERT_EQ(player().soundingPlace().position, 1);
    EXPECT_EQ(engine->transport.position(), 1);
    EXPECT_EQ(engine->transport.patternBase(), rowsPerPattern);
    EXPECT_EQ(engine->transport.rowInPattern(), player().soundingPlace().row);
}

TEST_F(LiveEditing, CtrlLLoopsThePatternUntilCtrlLAgain)
{
    engine->song.songLengthRows = 2 * rowsPerPattern;
    engine->song.positions[1] = 1;
    control('L');  // not playing: nothing to loop
    EXPECT_EQ(engine->status.text(), U"Standby...");

    pressAndStep(keyF2);
    control('L');
    ASSERT_TRUE(player().loop());
    EXPECT_EQ(engine->status.text(), U"Loop pattern 00");
    for (int i = 0; i < 600; ++i) {
        step();
        ASSERT_EQ(player().soundingPlace().position, 0) << "step " << i;
    }
    EXPECT_EQ(engine->transport.position(), 0);
    EXPECT_EQ(engine->status.text(), U"Loop pattern 00");

    control('L');
    EXPECT_FALSE(player().loop());
    EXPECT_EQ(engine->status.text(), U"Playing...");
    for (int i = 0; i < 2000 && player().soundingPlace().position != 1; ++i) step();
    EXPECT_EQ(player().soundingPlace().position, 1);
}

// A save's outcome shows on the status row while recording, failed or not,
// for two seconds' steps; then "Recording..." returns. Ctrl+L's word shows
// at once.
TEST_F(LiveEditing, OutcomesShowWhileRecordingThenRecordingReturns)
{
    const std::string blocked = userFiles().songsFolder() + "live blocked";
    ASSERT_EQ(mkdir(blocked.c_str(), 0755), 0);  // a folder where the song's file goes: every save fails
    engine->identity.songName = U"live blocked";
    control('R');
    pressAndStep(keyF11);
    rmdir(blocked.c_str());
    int shown = 0;
    for (; shown < 1000 && engine->status.text() == U"Saving Failed!"; ++shown) step();
    EXPECT_EQ(shown, outcomeHoldSteps - 1);
    EXPECT_EQ(engine->status.text(), U"Recording...");

    engine->identity.songName = U"";
    pressAndStep(keyF11);
    for (int i = 0; i < 30; ++i) step();
    EXPECT_EQ(engine->status.text(), U"Enter a Name...");
    control('L');
    EXPECT_EQ(engine->status.text(), U"Loop pattern 00");
    pressAndStep(keyF11);
    for (int i = 0; i < outcomeHoldSteps; ++i) step();
    EXPECT_EQ(engine->status.text(), U"Loop pattern 00");
}

TEST_F(LiveEditing, CtrlLWithAMarkedBlockLoopsItsRowsAndF2LeavesTheLoop)
{
    control('R');
    engine->cursor.row = 3;
    pressAndStep(keyShift);
    pressAndStep(keyDown);
    pressAndStep(keyDown);
    control('L');
    ASSERT_TRUE(player().loop());
    EXPECT_EQ(player().loop()->first, 2);
    EXPECT_EQ(player().loop()->last, 4);
    EXPECT_EQ(engine->status.text(), U"Loop rows 02-04");
    // Rows before the loop lead into it; from then on it holds.
    for (int i = 0; i < 2000 && player().soundingPlace().row != 2; ++i) step();
    for (int i = 0; i < 400; ++i) {
        step();
        int row = player().soundingPlace().row;
        ASSERT_TRUE(row >= 2 && row <= 4) << "row " << row << " at step " << i;
    }
    pressAndStep(keyF2);
    EXPECT_FALSE(player().loop());
}

TEST_F(LiveEditing, CtrlEnterSoundsTheCursorRowAndStepsDown)
{
    engine->song.patternColumns[notes1][0] = U'q';
    engine->song.patternColumns[volumes1][0] = U'8';
    engine->song.patternColumns[instruments1][0] = U'1';
    engine->song.patternColumns[octaves1][0] = U'2';
    engine->song.instrumentParams[1 * slotsPerInstrument + slotWave] = 1;
    engine->song.instrumentParams[1 * slotsPerInstrument + slotEnvelope] = 15;
    control(keyEnter);
    EXPECT_EQ(engine->cursor.row, 2);
    EXPECT_EQ(channelState(1), AL_PLAYING);
    EXPECT_GT(channelGain(1), 0.0f);
    EXPECT_EQ(engine->song.patternColumns[notes1][0], U'q');
    // The row rings on, fading step by step; the preview leaves it alone.
    float gain = channelGain(1);
    step();
    EXPECT_EQ(channelState(1), AL_PLAYING);
    EXPECT_GT(channelGain(1), 0.0f);
    EXPECT_LT(channelGain(1), gain);

    // The last row steps round to the first.
    engine->cursor.row = 32;
    control(keyEnter);
    EXPECT_EQ(engine->cursor.row, 1);

    // Playing, it does nothing.
    pressAndStep(keyF2);
    int row = engine->cursor.row;
    control(keyEnter);
    EXPECT_EQ(engine->cursor.row, row);
}

// Recording with FLW On on a device whose clock the test moves: a key 40 %
// into a row's time (as heard, after the device's latency) lands on that
// row, one 60 % into it on the next.
TEST(LiveRecording, ANoteLandsOnTheRowHeardByTheDeviceClock)
{
    LoopbackAudio loopback;
    ASSERT_TRUE(loopback.ok());
    constexpr int framesPerTick = LoopbackAudio::sampleRate / 50;
    Song song;
    NoteCursor cursor;
    StatusRow status;
    Transport transport {song, cursor, status};
    auto played = std::make_shared<c_kovoPlay>(&loopback.audio());
    transport.playThrough(played);
    transport.follow(true);
    transport.toggleLive();
    ASSERT_TRUE(transport.live());
    c_kovoPlay& player = *played;
    int64_t latency = loopback.audio().deviceClock() ? loopback.audio().deviceClock()->latency : 0;
    int rowFrames = song.speed * framesPerTick;
    int latencyFrames = static_cast<int>(latency * LoopbackAudio::sampleRate / 1'000'000'000);

    auto tickToNextRow = [&] {
        PlayPlace before = player.soundingPlace();
        for (int i = 0; i < 100 && player.soundingPlace() == before; ++i) {
            transport.tickPlayback();
            loopback.render(framesPerTick);
        }
        return player.soundingPlace();
    };
    // Enough rows that the latency reaches back only over rows kept.
    for (int i = 0; i < 8; ++i) tickToNextRow();
    EXPECT_EQ(cursor.row, player.soundingPlace().row + 1);
    const std::pair<double, int> keys[] = {{0.4, 0}, {0.6, 1}};
    for (const auto& [share, rowsLater] : keys) {
        PlayPlace read = tickToNextRow();
        ASSERT_FALSE(player.timeline().empty());
        ASSERT_EQ(player.timeline().newest().place, read);
        // Back from the point where the tick's frames end to the share of the
        // row read, plus the latency the sound needs to reach the ear.
        int wanted = static_cast<int>(share * rowFrames) + latencyFrames - framesPerTick;
        loopback.render(wanted);
        EXPECT_EQ(transport.heardPlace().row, read.row + rowsLater) << "a key " << share << " into row " << read.row;
    }
}
