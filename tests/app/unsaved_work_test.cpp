// The recovery file kept fresh while the user works: counted in update steps
// (50 a second), so ten seconds of steps run here at once, with no waiting.
#include "tests/app/parts_fixture.h"
#include "tests/app/tracker_fixture.h"

#include "app/files/recovery_file.h"
#include "host/key_translation.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_user_files.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int stepsInTenSeconds = 500;

std::string kept(int number = 1) { return readFileBytes(recoveryFileOf(number)); }

// The unsaved work with the editor that changes the song: each step runs the
// editor, then keeps the recovery file fresh, as the tracker's step does.
class UnsavedWorkAlone : public PartsFixture {
protected:
    void SetUp() override
    {
        PartsFixture::SetUp();
        std::remove(recoveryFileOf(1).c_str());
        transport.switchEditing();
    }
    void TearDown() override { std::remove(recoveryFileOf(1).c_str()); }
    void stepParts() override
    {
        PartsFixture::stepParts();
        unsaved.keepRecoveryFresh();
    }
    void steps(int count)
    {
        for (int i = 0; i < count; ++i) step();
    }
};

// The whole tracker, through its starts and closes.
class UnsavedSong : public TrackerFixture {
protected:
    // A note typed at the cursor while Editing.
    void typeNote(char32_t note)
    {
        if (engine->transport.state() != stateEditing) pressAndStep(keySpace);
        type(String(1, note));
        step();
    }

    // A song file with a note in its first cell.
    std::string songWithNote(char32_t note)
    {
        Song song;
        song.patternColumns = blankColumns();
        song.patternColumns[0][0] = note;
        return encodeUtf8(songText(song));
    }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i) step();
    }
};

} // namespace

TEST_F(UnsavedWorkAlone, WhileEditingTheFileIsRefreshedAtMostEveryTenSecondsOfSteps)
{
    // Steps count from the start: one without a change, then a note.
    step();
    typeStepwise(U"q");
    steps(stepsInTenSeconds - 3);
    EXPECT_EQ(kept(), "") << "written before ten seconds had passed";
    step();
    const std::string first = kept();
    ASSERT_NE(first, "") << "not written once ten seconds had passed";

    // A change right after a refresh waits for the next ten seconds.
    typeStepwise(U"w");
    steps(stepsInTenSeconds - 2);
    EXPECT_EQ(kept(), first);
    step();
    const std::string second = kept();
    EXPECT_NE(second, first);

    // What a power cut would leave is what a close writes.
    unsaved.keepAtClose();
    EXPECT_EQ(kept(), second);
}

TEST_F(UnsavedWorkAlone, NothingUnsavedIsNeverWritten)
{
    steps(3 * stepsInTenSeconds);
    EXPECT_EQ(kept(), "");
}

// Where the recovery file cannot be written (a folder stands in its place, as
// a full or read-only disk fails alike), the status row and standard error
// say so at the refresh, and again at the close, which still goes ahead.
TEST_F(UnsavedSong, AWriteThatFailsIsSaidAndTheCloseStillEnds)
{
    ASSERT_EQ(mkdir(recoveryFileOf(1).c_str(), 0755), 0);
    restartTracker();
    typeNote(U'q');
    testing::internal::CaptureStderr();
    steps(stepsInTenSeconds);
    std::string refresh = testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->status.text(), U"Unsaved song not kept!");
    EXPECT_NE(refresh.find("unsaved song could not be written to " + recoveryFileOf(1)), std::string::npos) << refresh;

    testing::internal::CaptureStderr();
    engine->close();
    std::string closing = testing::internal::GetCapturedStderr();
    EXPECT_NE(closing.find("it is lost"), std::string::npos) << closing;
    rmdir(recoveryFileOf(1).c_str());
}

// Work on a song opened from anywhere comes back as that file's: SAVE then
// writes it there, not into the songs folder under its name.
TEST_F(UnsavedSong, TheRecoveryFileKeepsTheSongsWholePath)
{
    TempFolder folder;
    std::string path = folder.write("demo", songWithNote(U'y'));
    const std::string namesake = userFiles().songsFolder() + "demo";
    std::remove(namesake.c_str());
    restartTracker(path);
    typeNote(U'w');
    engine->close();
    restartTracker();
    ASSERT_EQ(engine->status.text(), U"Unsaved song restored");
    EXPECT_EQ(engine->identity.songName, U"demo");
    pressAndStep(keyF11);
    EXPECT_EQ(engine->status.text(), U"File Saved...");
    EXPECT_EQ(readFileBytes(path)[7], 'w');
    EXPECT_EQ(readFileBytes(namesake), "");
    std::remove(namesake.c_str());
    EXPECT_EQ(kept(), "") << "saved: nothing left to recover";
}

// Unsaved work of one song outlives saves and loads of another: it goes only
// with a save or load of that same song, and the other song's work is kept
// in a file of its own.
TEST_F(UnsavedSong, OnlyASaveOrLoadOfTheSameSongEndsItsUnsavedWork)
{
    TempFolder folder;
    std::string other = folder.write("other", songWithNote(U'y'));
    const std::string mine = userFiles().songsFolder() + "unsaved work test";
    {
        std::FILE* file = std::fopen(mine.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fputs(songWithNote(U'y').c_str(), file);
        std::fclose(file);
    }
    engine->identity.songName = U"unsaved work test";
    typeNote(U'q');
    engine->close();
    const std::string work = kept();
    ASSERT_NE(work, "");

    restartTracker(other);
    pressAndStep(keyF11);
    pressAndStep(keyF12);
    EXPECT_EQ(engine->status.text(), U"File Loaded...");
    EXPECT_EQ(kept(), work);
    typeNote(U'e');
    steps(stepsInTenSeconds);
    EXPECT_EQ(kept(), work);
    EXPECT_NE(kept(2), "");
    pressAndStep(keyF11);
    EXPECT_EQ(kept(2), "");
    EXPECT_EQ(kept(), work);

    // The next start without a song brings the work back; a LOAD of its song
    // (the file as last saved) ends it, and undo brings the work back again.
    restartTracker();
    ASSERT_EQ(engine->status.text(), U"Unsaved song restored");
    EXPECT_EQ(engine->song.patternColumns[0][0], U'q');
    pressAndStep(keyF12);
    EXPECT_EQ(engine->song.patternColumns[0][0], U'y');
    EXPECT_EQ(kept(), "");
    engine->undo.restoreUndoSnapshot();
    EXPECT_EQ(engine->song.patternColumns[0][0], U'q');
    EXPECT_TRUE(engine->unsaved.songChanged());
    std::remove(mine.c_str());
}

// A path in the recovery file that the program could not have written (not
// absolute, or with characters that do not survive the trip to a file name)
// is not followed: the work comes back as a song of the songs folder.
TEST_F(UnsavedSong, APathThatIsNotAFileNameIsNotFollowed)
{
    Song song;
    song.patternColumns = blankColumns();
    song.patternColumns[0][0] = U'q';
    for (const String& path : {String(U"home/u/.bashrc"), String(U"/tmp/a\u012F.bashrc")}) {
        std::FILE* file = std::fopen(recoveryFileOf(1).c_str(), "wb");
        ASSERT_TRUE(file);
        std::fputs(encodeUtf8(recoveryText(song, {U"tune", 1, 1, 0, path})).c_str(), file);
        std::fclose(file);
        restartTracker();
        ASSERT_EQ(engine->status.text(), U"Unsaved song restored");
        EXPECT_EQ(engine->song.patternColumns[0][0], U'q');
        EXPECT_EQ(engine->identity.songFilePath, U"") << narrow(path);
    }
}
