// The undo ring: one step back per undo, never past the oldest snapshot still
// held, forward again until the next edit; and the UNDO button, Ctrl+Z and
// Ctrl+Y that reach it in the tracker.
#include "tests/app/tracker_fixture.h"
#include "tests/app/parts_fixture.h"

#include "host/key_translation.h"
#include "song/instrument_file.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"

#include <cstdio>
#include <vector>

namespace {

// The undo history with the editor that takes its snapshots and the song
// files whose LOAD is one undo step: no application, no window.
class UndoHistoryAlone : public PartsFixture {
protected:
    void SetUp() override
    {
        PartsFixture::SetUp();
        transport.switchEditing();
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

    // F12 in the editor's step.
    void load()
    {
        press(keyF12);
        input.beginUpdate();
        files.loadTrigger(input);
        input.endUpdate();
    }

    String notes() const { return song.patternColumns[0]; }

    std::vector<String> states;  // states[k]: the note column after k notes
};

// The whole tracker, while Editing: the keys and the button that reach the
// history.
class Undo : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        if (HasFatalFailure()) return;
        pressAndStep(keySpace);  // Editing
    }

    void control(int key)
    {
        hold(keyControl);
        press(key);
        step();
        release(keyControl);
    }

    String notes() const { return engine->song.patternColumns[0]; }
};

} // namespace

TEST_F(UndoHistoryAlone, StepsBackOneSnapshotAcrossTheWrapAndStopsAtTheOldestHeld)
{
    enterNotes(40);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[39]);
    // 31 undos in all reach the oldest of the 32 states the ring holds.
    for (int k = 38; k >= 9; --k) {
        undo.restoreUndoSnapshot();
        ASSERT_EQ(notes(), states[k]) << k;
    }
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[9]);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[9]);
}

TEST_F(UndoHistoryAlone, RightAfterTheRingWrapsUndoStillStepsBack)
{
    enterNotes(33);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[32]);
}

TEST_F(UndoHistoryAlone, RedoStepsForwardOverUndoneSnapshotsUntilTheNextEdit)
{
    enterNotes(5);
    undo.restoreUndoSnapshot();
    undo.restoreUndoSnapshot();
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[2]);
    undo.redoUndoSnapshot();
    EXPECT_EQ(notes(), states[3]);
    undo.redoUndoSnapshot();
    undo.redoUndoSnapshot();
    undo.redoUndoSnapshot();  // nothing beyond the newest
    EXPECT_EQ(notes(), states[5]);

    undo.restoreUndoSnapshot();
    undo.restoreUndoSnapshot();
    cursor.row = 20;
    typeStepwise(U"p");
    String edited = notes();
    undo.redoUndoSnapshot();
    EXPECT_EQ(notes(), edited);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[3]);
}

TEST_F(Undo, ZAndYWithoutControlStayNoteKeys)
{
    typeStepwise(U"y");
    press('Z');
    type(U"z");
    step();
    EXPECT_EQ(engine->song.patternColumns[0][1], U'z');
    EXPECT_EQ(engine->song.patternColumns[0][0], U'y');
}

TEST_F(UndoHistoryAlone, SnapshotsShareTheColumnsAnEditDidNotChange)
{
    enterNotes(40);
    int newest = undo.slot();
    int before = (newest + undoSlotCount - 1) % undoSlotCount;
    const auto& ring = undo.ring();
    for (int column = 0; column < columnCount; ++column) {
        EXPECT_TRUE(ring[column][newest].sharesTextWith(song.patternColumns[column])) << column;
        // A note in channel 1 changes its note, volume, instrument and octave
        // cells at most; the other twelve columns are the same texts.
        bool channel1 = column % channelCount == 0;
        if (!channel1) {
            EXPECT_TRUE(ring[column][newest].sharesTextWith(ring[column][before])) << column;
        }
    }
    EXPECT_FALSE(ring[0][newest].sharesTextWith(ring[0][before]));
    // Undo still restores exactly, and the restored state shares its texts.
    undo.restoreUndoSnapshot();
    EXPECT_TRUE(song.patternColumns[0].sharesTextWith(ring[0][before]));
    EXPECT_EQ(notes(), states[39]);
}

// A LOAD, from F12 or the song list, is one undo step: Ctrl+Z brings back the
// whole song it replaced, with its name, its own undo steps and its unsaved
// changes; Ctrl+Y loads it again.
TEST_F(UndoHistoryAlone, ALoadIsOneStepThatBringsBackTheWholeSongBefore)
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
    song.speed = 7;
    identity.songName = U"undo load test";
    load();
    ASSERT_EQ(status.text(), U"File Loaded...");
    EXPECT_EQ(song.speed, 11);
    EXPECT_FALSE(unsaved.songChanged());

    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[3]);
    EXPECT_EQ(song.speed, 7);
    EXPECT_TRUE(unsaved.songChanged());
    undo.restoreUndoSnapshot();
    EXPECT_EQ(notes(), states[2]) << "the song's own undo steps come back with it";
    undo.redoUndoSnapshot();
    EXPECT_EQ(notes(), states[3]);
    undo.redoUndoSnapshot();
    EXPECT_EQ(song.speed, 11) << "redo takes the load again";
    EXPECT_EQ(song.patternColumns[5][0], U'9');

    // The song list's choice, while the editor holds a song from elsewhere:
    // it loads the listed song, and undo gives back the other with its file.
    identity.songFilePath = U"/somewhere/else";
    song.patternColumns[5][0] = U'3';
    EXPECT_EQ(files.loadSongNamed(U"undo load test"), U"File Loaded...");
    EXPECT_EQ(song.patternColumns[5][0], U'9');
    EXPECT_EQ(identity.songFilePath, U"");
    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.patternColumns[5][0], U'3');
    EXPECT_EQ(identity.songFilePath, U"/somewhere/else");
    std::remove(file.c_str());
}

TEST_F(UndoHistoryAlone, AnEditWithoutASnapshotIsUndoneAtTheOldestAndIsAChange)
{
    song.patternColumns[4].set(0, U'8');  // a volume digit takes no snapshot of its own
    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.patternColumns[4], blankColumn(4));
    EXPECT_EQ(undo.slot(), 1);
    EXPECT_TRUE(unsaved.songChanged());
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
    EXPECT_FALSE(unsaved.songChanged());
    transport.goToPosition(5);

    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.speed, 7);
    EXPECT_EQ(identity.songName, U"before");
    EXPECT_EQ(identity.songFilePath, U"");
    EXPECT_TRUE(unsaved.songChanged());
    EXPECT_EQ(transport.position(), 0) << "the song comes back shown from its start";
    undo.redoUndoSnapshot();
    EXPECT_EQ(song.speed, 11);
    EXPECT_EQ(identity.songName, U"loaded");
    EXPECT_EQ(identity.songFilePath, U"/elsewhere/loaded");
    EXPECT_FALSE(unsaved.songChanged());
}

// The UNDO button and Ctrl+Z step back, Ctrl+Y forward again.
TEST_F(Undo, TheButtonAndTheControlKeysStepTheHistory)
{
    typeStepwise(U"ysx");
    click(600, 346);  // UNDO
    step();
    EXPECT_EQ(notes().substr(0, 3), U"ys.");
    control('Z');
    EXPECT_EQ(notes().substr(0, 3), U"y..");
    control('Y');
    EXPECT_EQ(notes().substr(0, 3), U"ys.");
}

// An instrument taken from the library is one step among the note entries:
// undone, the instrument is as it was; redone, it is taken again; an undo
// that only goes back over notes leaves it alone.
TEST_F(UndoHistoryAlone, AnInstrumentTakenIsOneStepAmongTheNotes)
{
    enterNotes(2);
    InstrumentPreset before = instrumentOfSong(song, 3);
    InstrumentPreset taken;
    taken.slots = {2, 5, 0x13, 0x4C, 30, 2, 7, 12};
    taken.description = paddedDescription(U"Taken");
    placeInstrument(song, 3, taken);
    undo.takeInstrumentStep(3, before, OwnWaves {});
    enterNotes(1);

    undo.restoreUndoSnapshot();  // the last note
    EXPECT_EQ(instrumentOfSong(song, 3), taken);
    EXPECT_EQ(notes(), states[2]);
    undo.restoreUndoSnapshot();  // the instrument
    EXPECT_EQ(instrumentOfSong(song, 3), before);
    EXPECT_EQ(notes(), states[2]);
    undo.redoUndoSnapshot();
    EXPECT_EQ(instrumentOfSong(song, 3), taken);
    undo.redoUndoSnapshot();
    EXPECT_EQ(notes(), states[3]);
    EXPECT_EQ(instrumentOfSong(song, 3), taken);
}

// An instrument that brings its own wave: undone, the wave's slot is empty
// again; redone, the wave is back in the same slot.
TEST_F(UndoHistoryAlone, AnInstrumentsWaveComesAndGoesWithItsStep)
{
    enterNotes(1);
    InstrumentPreset before = instrumentOfSong(song, 3);
    OwnWaves wavesBefore = song.ownWaves;
    InstrumentPreset taken;
    taken.slots[slotWave] = 12;
    taken.wave = OwnWave {};
    taken.wave->fill(1234);
    ASSERT_TRUE(placeInstrument(song, 3, taken));
    undo.takeInstrumentStep(3, before, wavesBefore);
    ASSERT_EQ(instrumentSlot(song, 3, slotWave), firstOwnWave);

    undo.restoreUndoSnapshot();
    EXPECT_EQ(instrumentOfSong(song, 3), before);
    EXPECT_EQ(song.ownWaves, wavesBefore);
    undo.redoUndoSnapshot();
    EXPECT_EQ(instrumentSlot(song, 3, slotWave), firstOwnWave);
    EXPECT_EQ(song.ownWaves[0], taken.wave);
}
