// The update step's switches, the transport states and the spinners, driven
// through the input device.
#include "tests/app/tracker_fixture.h"
#include "tests/app/parts_fixture.h"

#include "host/key_translation.h"
#include "player/kovo_play.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using TransportSteps = TrackerFixture;

// The transport's switches with the parts they reach, and the LAYOUT switch
// beside them: each step takes the switches, no editor, no application.
class TransportSwitches : public PartsFixture {
protected:
    void stepParts() override
    {
        transport.switchChannels(input, scopesShown ? buttons::scopes : buttons::meters);
        transport.toggleFollow(input);
        keys.toggleLayout(input);
        transport.toggleEditing(input);
    }
    void rightClick(float x, float y)
    {
        input.movePointer(x, y, 0);
        press(keyMouseRight);
        step();
    }
    std::array<float, channelCount> allOn {1, 1, 1, 1};
    bool scopesShown = false;
};

} // namespace

TEST_F(TransportSteps, StartsInStandbyWithTheBlankSong)
{
    EXPECT_EQ(engine->transport.state(), stateStandby);
    EXPECT_EQ(engine->status.text(), U"Standby...");
    EXPECT_EQ(engine->cursor.octave, 2);
    EXPECT_EQ(engine->song.speed, 4);
    EXPECT_EQ(engine->song.songLengthRows, 32);
    EXPECT_EQ(engine->cursor.instrument, 1);
    EXPECT_EQ(engine->keys.layoutText(), U"DE");
    EXPECT_FALSE(engine->transport.following());
    for (int column = 0; column < columnCount; ++column) {
        EXPECT_EQ(engine->song.patternColumns[column], blankColumn(column));
        EXPECT_EQ(engine->undo.ring()[column][15], blankColumn(column));
        EXPECT_TRUE(engine->undo.ring()[column][16].empty());
    }
    // Undo right after start restores blank columns.
    engine->song.patternColumns[0][0] = U'y';
    click(600, 346);
    step();
    EXPECT_EQ(engine->song.patternColumns[0], blankColumn(0));
    EXPECT_EQ(engine->undo.slot(), 1);
}

TEST_F(TransportSwitches, SpaceAndEditToggleEditingAndStandby)
{
    pressAndStep(keySpace);
    EXPECT_EQ(transport.state(), stateEditing);
    EXPECT_EQ(status.text(), U"Editing...");
    click(540, 346);
    step();
    EXPECT_EQ(transport.state(), stateStandby);
    EXPECT_EQ(status.text(), U"Standby...");
}

TEST_F(TransportSteps, PlayingStartsAPlayerAndF1StopsAtTheStart)
{
    engine->transport.goToPosition(3);
    pressAndStep(keyF2);
    EXPECT_EQ(engine->transport.state(), statePlaying);
    EXPECT_EQ(engine->status.text(), U"Playing...");
    ASSERT_TRUE(engine->transport.player());
    EXPECT_EQ(engine->transport.player()->upcomingPlace().position, 3);
    for (int i = 0; i < 40; ++i) step();
    EXPECT_GT(engine->transport.rowInPattern(), 0);
    // F1 while playing stops and also returns to position 0, row 0.
    pressAndStep(keyF1);
    EXPECT_EQ(engine->transport.state(), stateStandby);
    EXPECT_EQ(engine->transport.position(), 0);
    EXPECT_EQ(engine->transport.rowInPattern(), 0);
    EXPECT_EQ(engine->cursor.row, 1);
}

TEST_F(TransportSteps, TwoSwitchesInOneStepActTogether)
{
    // Standby: Space enters Editing, then F2 starts playback.
    press(keySpace);
    pressAndStep(keyF2);
    EXPECT_EQ(engine->transport.state(), statePlaying);
    // Playing: Space leaves for Standby, then F2 starts playback again.
    press(keySpace);
    pressAndStep(keyF2);
    EXPECT_EQ(engine->transport.state(), statePlaying);
}

// A click on a meter (or, with the scopes shown, a scope) switches its
// channel as F5-F8 do; a right click plays it alone, and on the one channel
// left on brings all four back. Clicks between the displays do nothing.
TEST_F(TransportSwitches, MeterAndScopeClicksMuteAndSolo)
{
    click(415, 300);  // meter 1
    step();
    EXPECT_EQ(transport.channelLevels(), (std::array<float, channelCount> {0, 1, 1, 1}));
    click(426, 300);  // between meters 1 and 2
    step();
    EXPECT_EQ(transport.channelLevels(), (std::array<float, channelCount> {0, 1, 1, 1}));
    rightClick(480, 340);  // meter 4, with channel 1 muted already
    EXPECT_EQ(transport.channelLevels(), (std::array<float, channelCount> {0, 0, 0, 1}));
    rightClick(480, 340);
    EXPECT_EQ(transport.channelLevels(), allOn);
    // The meters' places mean nothing while the scopes stand there instead.
    scopesShown = true;
    click(481, 300);  // meter 4's place is scope 2's now
    step();
    EXPECT_EQ(transport.channelLevels(), (std::array<float, channelCount> {1, 0, 1, 1}));
    click(470, 340);  // scope 4
    step();
    rightClick(400, 290);  // scope 1 while it is on among others
    EXPECT_EQ(transport.channelLevels(), (std::array<float, channelCount> {1, 0, 0, 0}));
    rightClick(420, 330);  // scope 3 solos it
    EXPECT_EQ(transport.channelLevels(), (std::array<float, channelCount> {0, 0, 1, 0}));
}

TEST_F(TransportSwitches, ChannelSwitchesFollowAndLayoutToggle)
{
    pressAndStep(keyF6);
    EXPECT_EQ(transport.channelLevels()[1], 0.0f);
    click(270, 418);
    step();
    EXPECT_EQ(transport.channelLevels()[3], 0.0f);
    pressAndStep(keyF6);
    EXPECT_EQ(transport.channelLevels()[1], 1.0f);
    click(320, 418);
    step();
    EXPECT_TRUE(transport.following());
    click(600, 450);
    step();
    EXPECT_EQ(keys.layoutText(), U"US");
    // Holding the button does not repeat: only a fresh press counts.
    input.movePointer(530, 450, 0);
    input.pressKey(keyMouseLeft);
    step();
    step();
    EXPECT_EQ(keys.layoutText(), U"DE");
    input.releaseKey(keyMouseLeft);
}

TEST_F(TransportSteps, SpinnersStepWithinTheirRangesAndBoundariesHitNothing)
{
    step();  // the shown instrument is clamped at once: WAV 1, ENV 1
    EXPECT_EQ(engine->song.instrumentParams[8 + slotWave], 1);
    EXPECT_EQ(engine->song.instrumentParams[8 + slotEnvelope], 1);
    click(585, 150);  // INSTRUMENT plus
    step();
    EXPECT_EQ(engine->cursor.instrument, 2);
    click(577, 150);  // exactly between minus and plus
    step();
    EXPECT_EQ(engine->cursor.instrument, 2);
    click(585, 210);  // ENV plus on instrument 2
    step();
    EXPECT_EQ(engine->song.instrumentParams[16 + slotEnvelope], 2);
    click(615, 234);  // second ARP digit plus: its own spinner at x 593
    step();
    EXPECT_EQ(engine->song.instrumentParams[16 + slotArpSecond], 1);
    click(585, 270);  // RPT plus, then again: it stops at 1
    step();
    click(585, 270);
    step();
    EXPECT_EQ(engine->song.instrumentParams[16 + slotE2pRpt], 16);
    click(565, 222);  // E2P minus at 0 stays
    step();
    EXPECT_EQ(engine->song.instrumentParams[16 + slotE2pRpt], 16);
    click(480, 366);  // OCT minus: 2 -> 1
    step();
    EXPECT_EQ(engine->cursor.octave, 1);
    click(480, 390);  // Len minus at 1 stays
    step();
    EXPECT_EQ(engine->song.songLengthRows, 32);
    click(405, 18);  // pattern number plus at the current position
    step();
    EXPECT_EQ(engine->song.positions[0], 1);
    EXPECT_EQ(engine->transport.patternBase(), 32);
}

TEST_F(TransportSteps, SpinnersCorrectOutOfRangeValuesEveryStep)
{
    engine->song.songLengthRows = 0;
    engine->song.speed = 40;
    engine->song.instrumentParams[8 + slotAmtSwp] = 300;
    step();
    EXPECT_EQ(engine->song.songLengthRows, 32);
    EXPECT_EQ(engine->song.speed, 16);
    EXPECT_EQ(engine->song.instrumentParams[8 + slotAmtSwp], 15 * 16 + 300 % 16);
}

// Where tmp.dat cannot be written (a folder stands in its place, as a full or
// read-only songs folder fails alike), F1 still plays the editor's song, not
// the one an earlier F1 handed over.
TEST_F(TransportSteps, PlayingWhereTheHandOverCannotBeWrittenPlaysTheEditorsSong)
{
    engine->song.patternColumns[0][0] = U'y';
    pressAndStep(keyF1);
    pressAndStep(keyF1);
    const std::string handOver = userFiles().songsFolder() + "tmp.dat";
    std::remove(handOver.c_str());
    ASSERT_EQ(mkdir(handOver.c_str(), 0755), 0);
    engine->song.patternColumns[0][0] = U'q';
    pressAndStep(keyF1);
    rmdir(handOver.c_str());
    EXPECT_EQ(engine->transport.state(), statePlaying);
    ASSERT_TRUE(engine->transport.player());
    EXPECT_EQ(engine->transport.player()->song().patternColumns[0][0], U'q');
}
