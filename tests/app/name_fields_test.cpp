// The song-name and description fields, and saving and loading by name.
#include "tests/app/tracker_fixture.h"
#include "base/data_files.h"
#include "tests/app/parts_fixture.h"

#include "song/song_file.h"
#include "host/key_translation.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Song files written by a test, removed after it.
template <typename Fixture>
class WritingSongs : public Fixture {
protected:
    void TearDown() override
    {
        for (const std::string& name : written) std::remove((songsFolder() + name).c_str());
        Fixture::TearDown();
    }

    static std::string songsFolder() { return userFiles().songsFolder(); }

    // A song name unique to this test run.
    String uniqueName(const std::string& stem)
    {
        std::string name = "name-test-" + stem + "-" + std::to_string(getpid());
        written.push_back(name);
        return widen(name);
    }

    void clickSongName()
    {
        this->click(100, 450);
        this->step();
    }

    std::vector<std::string> written;
};

// The name fields and the song files with the parts they reach: each step
// runs the fields and the SAVE and LOAD triggers, no editor, no application.
class SongFilesAlone : public WritingSongs<PartsFixture> {
protected:
    void stepParts() override
    {
        files.songNameField(input);
        files.descriptionField(input);
        files.saveTrigger(input);
        files.loadTrigger(input);
    }
};

// The whole tracker: the fields beside the transport and the editor.
using NameFields = WritingSongs<TrackerFixture>;

} // namespace

TEST_F(SongFilesAlone, SongNameTakesOnlyNameCharactersUpToThirtyTwo)
{
    clickSongName();
    typeStepwise(U"Tune");
    EXPECT_EQ(identity.songName, U"une");
    typeStepwise(U"-_.()&+[]/9 \u00FC\u00E4\u00F6#*");
    EXPECT_EQ(identity.songName, U"une-_.()&+[]/9 \u00FC\u00E4\u00F6");
    typeStepwise(String(40, U'x'));
    EXPECT_EQ(identity.songName.size(), 32u);
    pressAndStep(keyBackspace);
    EXPECT_EQ(identity.songName.size(), 31u);
    pressAndStep(keyEnter);
    EXPECT_FALSE(files.editingSongName());
    typeStepwise(U"x");
    EXPECT_EQ(identity.songName.size(), 31u);
}

TEST_F(NameFields, AnActiveFieldHoldsStandbySoNoteKeysGoIntoTheName)
{
    pressAndStep(keySpace);
    ASSERT_EQ(engine->transport.state(), stateEditing);
    clickSongName();
    EXPECT_EQ(engine->transport.state(), stateStandby);
    typeStepwise(U"qwe");
    EXPECT_EQ(engine->identity.songName, U"qwe");
    EXPECT_EQ(engine->song.patternColumns[0], blankColumn(0));
}

TEST_F(NameFields, AFieldTakesABurstOfTypingWholeAndLeavesWhatFollowsEnter)
{
    clickSongName();
    type(U"fast tune");
    step();
    EXPECT_EQ(engine->identity.songName, U"fast tune");
    type(U"x");
    press(keyEnter);  // its character 13 follows the x
    type(U"q");
    step();
    EXPECT_EQ(engine->identity.songName, U"fast tunex");
    EXPECT_FALSE(engine->files.editingSongName());
    EXPECT_EQ(engine->song.patternColumns[0], blankColumn(0));  // the q is only heard, in Standby
}

TEST_F(SongFilesAlone, DescriptionIsClearedByAClickPaddedByEnterAndClearedByBackspace)
{
    song.instrumentDescriptions[1] = U"old words";
    click(400, 129);
    step();
    EXPECT_EQ(song.instrumentDescriptions[1], U"");
    typeStepwise(U"bass");
    pressAndStep(keyEnter);
    EXPECT_EQ(song.instrumentDescriptions[1], U"bass" + String(17, U' '));
    click(400, 129);
    step();
    typeStepwise(U"lead");
    pressAndStep(keyBackspace);
    EXPECT_EQ(song.instrumentDescriptions[1], U"");
}

TEST_F(SongFilesAlone, SaveAndLoadReportTheirOutcome)
{
    pressAndStep(keyF11);
    EXPECT_EQ(status.text(), U"Enter a Name...");
    transport.goToPosition(2);
    pressAndStep(keyF12);
    EXPECT_EQ(status.text(), U"File not found!");
    EXPECT_EQ(transport.position(), 0);

    identity.songName = uniqueName("roundtrip");
    song.patternColumns[0][5] = U'q';
    song.speed = 7;
    pressAndStep(keyF11);
    EXPECT_EQ(status.text(), U"File Saved...");

    song.patternColumns[0][5] = U'.';
    song.speed = 3;
    transport.showRow(0);
    unsaved.markSongChanged();
    pressAndStep(keyF12);
    EXPECT_EQ(status.text(), U"File Loaded...");
    EXPECT_FALSE(unsaved.songChanged()) << "the loaded song is what its file holds";
    EXPECT_EQ(song.patternColumns[0][5], U'q');
    EXPECT_EQ(song.speed, 7);

    // Undo after a load goes back to the loaded song, then one step more:
    // to the song the load replaced, and no further.
    song.patternColumns[0][6] = U'w';
    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.patternColumns[0][5], U'q');
    EXPECT_EQ(song.patternColumns[0][6], U'.');
    EXPECT_EQ(undo.slot(), 1);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.patternColumns[0][5], U'.');
    EXPECT_EQ(song.speed, 3);
    undo.restoreUndoSnapshot();
    EXPECT_EQ(song.patternColumns[0][5], U'.');
    EXPECT_EQ(song.speed, 3);
}

// /proc/self/mem is a regular file whose first read ends in EIO: a disk that
// fails under the song. What was read before the error is no song.
TEST_F(SongFilesAlone, AReadErrorWhileLoadingReplacesNothing)
{
    String name = uniqueName("failing");
    ASSERT_EQ(symlink("/proc/self/mem", (songsFolder() + narrow(name)).c_str()), 0);
    song.patternColumns[0][5] = U'q';
    identity.songName = name;
    pressAndStep(keyF12);
    EXPECT_EQ(status.text(), U"Loading Failed!");
    EXPECT_EQ(song.patternColumns[0][5], U'q');
    EXPECT_EQ(identity.songName, name);
}

TEST_F(SongFilesAlone, AFailedSaveKeepsTheSongAndTheProgramGoesOn)
{
    identity.songName = U"no-such-folder/" + uniqueName("lost");
    song.patternColumns[1][3] = U'e';
    click(460, 450);  // SAVE
    step();
    EXPECT_EQ(status.text(), U"Saving Failed!");
    EXPECT_EQ(song.patternColumns[1][3], U'e');
    step();
    EXPECT_EQ(status.text(), U"Saving Failed!");
}

TEST_F(SongFilesAlone, LoadingKeepsOnlyThePartAfterASongsBackslash)
{
    String name = uniqueName("cleaned");
    ASSERT_EQ(saveSong(song, name), SaveOutcome::saved);
    identity.songName = U"c:\\x\\songs\\" + name;
    EXPECT_EQ(files.loadSongFile(), U"File not found!");  // "\name" is not a file here
    EXPECT_EQ(identity.songName, U"\\" + name);
}

TEST_F(NameFields, AFieldThatEndsEditingSaysStandby)
{
    pressAndStep(keySpace);
    ASSERT_EQ(engine->status.text(), U"Editing...");
    click(100, 450);  // song-name field
    step();
    EXPECT_EQ(engine->transport.state(), stateStandby);
    EXPECT_EQ(engine->status.text(), U"Standby...");

    // Space is a name character; the EDIT switch it also is must not leave
    // "Editing..." behind while the field holds Standby.
    press(keySpace);
    type(U" ");
    step();
    EXPECT_EQ(engine->identity.songName, U" ");
    EXPECT_EQ(engine->transport.state(), stateStandby);
    EXPECT_EQ(engine->status.text(), U"Standby...");
    pressAndStep(keyEnter);

    // A status of its own stays while the field is active.
    engine->identity.songName.clear();
    click(460, 450);  // SAVE with no name
    step();
    click(400, 129);  // description field
    step();
    EXPECT_EQ(engine->status.text(), U"Enter a Name...");
}

// Every character of the name can be typed, but the next F1 would overwrite
// a song kept there: the save fails and the song stays unsaved in memory.
TEST_F(NameFields, TheTemporarySongIsNoNameToSaveUnder)
{
    written.push_back(narrow(handOverSongName));
    clickSongName();
    typeStepwise(U"tmp.dat");
    pressAndStep(keyEnter);
    ASSERT_EQ(engine->identity.songName, handOverSongName);
    engine->song.patternColumns[0][0] = U'q';
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"Saving Failed!");

    pressAndStep(keyF1);
    ASSERT_EQ(engine->transport.state(), statePlaying);
    Song handedOver;
    parseSongText(loadText(songFolder + String(handOverSongName)), handedOver);
    EXPECT_EQ(handedOver.patternColumns[0][0], U'q');
}
