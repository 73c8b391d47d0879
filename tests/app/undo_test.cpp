// The undo ring through the UNDO button and Ctrl+Z / Ctrl+Y, driven through
// the input device: one step back per undo, never past the oldest snapshot
// still held, forward again until the next edit.
#include "tests/app/tracker_fixture.h"
#include "tests/app/tracker_parts.h"

#include "host/key_translation.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"

#include <cstdio>
#include <vector>

namespace {

class Undo : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        if (HasFatalFailure()) return;
        pressAndStep(keySpace);  // Editing
        states.push_back(notes());
    }

    // Enters n notes, one a step, keeping the note column after each.
    void enterNotes(int n)
    {
        for (int i = 0; i < n; ++i) {
            typeStepwise(String(1, U"ysxdcvgbhnjm"[i % 12]));
            states.push_back(notes());
        }
    }

    void control(int key)
    {
        hold(keyControl);
        press(key);
        step();
        release(keyControl);
    }

    void clickUndo()
    {
        click(600, 346);
        step();
    }

    String notes() const { return engine->song.patternColumns[0]; }

    std::vector<String> states;  // states[k]: the note column after k notes
};

// The undo history alone, with the parts it reaches: no application, no window.
using UndoHistoryAlone = TrackerParts;

} // namespace

TEST_F(Undo, StepsBackOneSnapshotAcrossTheWrapAndStopsAtTheOldestHeld)
{
    enterNotes(40);
    clickUndo();
    EXPECT_EQ(notes(), states[39]);
    // 31 undos in all reach the oldest of the 32 states the ring holds.
    for (int k = 38; k >= 9; --k) {
        clickUndo();
        ASSERT_EQ(notes(), states[k]) << k;
    }
    clickUndo();
    EXPECT_EQ(notes(), states[9]);
    control('Z');
    EXPECT_EQ(notes(), states[9]);
}

TEST_F(Undo, RightAfterTheRingWrapsUndoStillStepsBack)
{
    enterNotes(33);
    clickUndo();
    EXPECT_EQ(notes(), states[32]);
}

TEST_F(Undo, ControlYRedoesUndoneSnapshotsUntilTheNextEdit)
{
    enterNotes(5);
    control('Z');
    control('Z');
    control('Z');
    EXPECT_EQ(notes(), states[2]);
    control('Y');
    EXPECT_EQ(notes(), states[3]);
    control('Y');
    control('Y');
    control('Y');  // nothing beyond the newest
    EXPECT_EQ(notes(), states[5]);

    control('Z');
    control('Z');
    engine->cursor.row = 20;
    typeStepwise(U"p");
    String edited = notes();
    control('Y');
    EXPECT_EQ(notes(), edited);
    control('Z');
    EXPECT_EQ(notes(), states[3]);
}

TEST_F(Undo, ZAndYWithoutControlStayNoteKeys)
{
    enterNotes(1);
    press('Z');
    type(U"z");
    step();
    EXPECT_EQ(engine->song.patternColumns[0][1], U'z');
    EXPECT_EQ(engine->song.patternColumns[0][0], U'y');
}

TEST_F(Undo, SnapshotsShareTheColumnsAnEditDidNotChange)
{
    enterNotes(40);
    int newest = engine->undo.undoSlot;
    int before = (newest + undoSlotCount - 1) % undoSlotCount;
    const auto& ring = engine->undo.undoRing;
    for (int column = 0; column < columnCount; ++column) {
        EXPECT_TRUE(ring[column][newest].sharesTextWith(engine->song.patternColumns[column])) << column;
        // A note in channel 1 changes its note, volume, instrument and octave
        // cells at most; the other twelve columns are the same texts.
        bool channel1 = column % channelCount == 0;
        if (!channel1) {
            EXPECT_TRUE(ring[column][newest].sharesTextWith(ring[column][before])) << column;
        }
    }
    EXPECT_FALSE(ring[0][newest].sharesTextWith(ring[0][before]));
    // Undo still restores exactly, and the restored state shares its texts.
    clickUndo();
    EXPECT_TRUE(engine->song.patternColumns[0].sharesTextWith(ring[0][before]));
    EXPECT_EQ(notes(), states[39]);
}

// A LOAD, from F12 or the song list, is one undo step: Ctrl+Z brings back the
// whole song it replaced, with its name, its own undo steps and its unsaved
// changes; Ctrl+Y loads it again.
TEST_F(Undo, ALoadIsOneStepThatBringsBackTheWholeSongBefore)
{
    const std::string file = userFiles().songsFolder() + "undo load test";
    Song loaded;
    loaded.patternColumns = blankColumns();
    loaded.patternColumns[5][0] = U'9';
    loaded.speed = 11;
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_TRUE(out);
        std::fputs(encodeUtf8(songText(loaded)).c_str(), out);
        std::fclose(out);
    }
    enterNotes(3);
    engine->song.speed = 7;
    engine->identity.songName = U"undo load test";
    pressAndStep(keyF12);
    ASSERT_EQ(engine->statusText, U"File Loaded...");
    EXPECT_EQ(engine->song.speed, 11);
    EXPECT_FALSE(engine->unsaved.songChanged);

    control('Z');
    EXPECT_EQ(notes(), states[3]);
    EXPECT_EQ(engine->song.speed, 7);
    EXPECT_TRUE(engine->unsaved.songChanged);
    control('Z');
    EXPECT_EQ(notes(), states[2]) << "the song's own undo steps come back with it";
    control('Y');
    EXPECT_EQ(notes(), states[3]);
    control('Y');
    EXPECT_EQ(engine->song.speed, 11) << "redo takes the load again";
    EXPECT_EQ(engine->song.patternColumns[5][0], U'9');

    // The song list's choice, while the editor holds a song from elsewhere:
    // it loads the listed song, and undo gives back the other with its file.
    engine->identity.songFilePath = U"/somewhere/else";
    engine->song.patternColumns[5][0] = U'3';
    EXPECT_EQ(engine->files.loadSongNamed(U"undo load test"), U"File Loaded...");
    EXPECT_EQ(engine->song.patternColumns[5][0], U'9');
    EXPECT_EQ(engine->identity.songFilePath, U"");
    control('Z');
    EXPECT_EQ(engine->song.patternColumns[5][0], U'3');
    EXPECT_EQ(engine->identity.songFilePath, U"/somewhere/else");
    std::remove(file.c_str());
}

TEST_F(UndoHistoryAlone, AnEditWithoutASnapshotIsUndoneAtTheOldestAndIsAChange)
{
    song.patternColumns[4].set(0, U'8');  // a volume digit takes no snapshot of its own
    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.patternColumns[4], blankColumn(4));
    EXPECT_EQ(undo.undoSlot, 1);
    EXPECT_TRUE(unsaved.songChanged);
}

TEST_F(UndoHistoryAlone, AnUndoneLoadBringsBackTheSongBeforeWithItsNamesAndUnsavedState)
{
    song.speed = 7;
    identity.songName = U"before";
    unsaved.markSongChanged();
    EditorSong before = undo.editorSong();
    song.speed = 11;
    identity.songName = U"loaded";
    identity.songFilePath = U"/elsewhere/loaded";
    undo.takeUndoSnapshot(true);
    undo.songLoaded(std::move(before));
    EXPECT_FALSE(unsaved.songChanged);
    transport.currentPosition = 5;

    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.speed, 7);
    EXPECT_EQ(identity.songName, U"before");
    EXPECT_EQ(identity.songFilePath, U"");
    EXPECT_TRUE(unsaved.songChanged);
    EXPECT_EQ(transport.currentPosition, 0) << "the song comes back shown from its start";
    undo.redoUndoSnapshot();
    EXPECT_EQ(song.speed, 11);
    EXPECT_EQ(identity.songName, U"loaded");
    EXPECT_EQ(identity.songFilePath, U"/elsewhere/loaded");
    EXPECT_FALSE(unsaved.songChanged);
}
