// Unsaved work across the end of the real program: notes typed with real X
// events survive the window's close request and SIGTERM, come back at the
// next start, and a SAVE ends them; a program with nothing unsaved ends as
// it always did and writes nothing.
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <set>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr const char* restoredStatus = "Unsaved song restored";
constexpr const char* recoveryHeader = "Kovo Tracker unsaved song 2\n";

std::set<std::string> filesIn(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) names.insert(entry->d_name);
        closedir(dir);
    }
    return names;
}

class Recovery : public ::testing::Test {
protected:
    explicit Recovery(const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"}) : tracker(environment) {}

    std::string recoveryPath() const { return tracker.folder() + "/data/unsaved_song.dat"; }

    // Waits until the status row reads the text; the picture is kept.
    bool waitForStatus(const std::string& status)
    {
        return waitFor(
            [&] {
                shown = tracker.screenshot();
                return shown.width == 640 && reader.status(shown) == status;
            },
            30);
    }

    // Grid row n of channel 1: row number, note, volume and instrument cells.
    std::string gridRow(int row) { return reader.read(shown, 0, 12 + 12 * row, 9, textInk); }
    std::string gridRows() { return gridRow(1) + "|" + gridRow(2) + "|" + gridRow(3); }

    // Editing, then three notes from row 2 down, seen on the screen.
    std::string typeNotes()
    {
        EXPECT_TRUE(waitForStatus("Standby..."));
        std::string blankRow3 = gridRow(3);
        EXPECT_TRUE(tracker.keyEach("space Down"));
        EXPECT_TRUE(tracker.typeEach("qwe"));
        EXPECT_TRUE(waitFor([&] { shown = tracker.screenshot(); return gridRow(3) != blankRow3; }, 10));
        return gridRows();
    }

    TrackerProcess tracker;
    ScreenText reader;
    Picture shown;
};

// The refresh every 25 update steps (half a second) instead of every 10 s.
class RecoveryRefresh : public Recovery {
protected:
    RecoveryRefresh() : Recovery({"ALSOFT_DRIVERS=null", "KOVO_RECOVERY_INTERVAL_STEPS=25"}) {}
};

} // namespace

TEST_F(Recovery, CloseKeepsUnsavedNotesForTheNextStartAndSaveEndsThem)
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    std::string typed = typeNotes();
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    std::string kept = readFileBytes(recoveryPath());
    ASSERT_EQ(kept.rfind(recoveryHeader, 0), 0u);
    // Cursor column, row, position, the lengths of the name (none) and of the
    // path (the songs folder: no name names no file in it), then both.
    const std::string songs = tracker.folder() + "/data/songs/";
    const std::string view = "1 5 0 0 " + std::to_string(songs.size()) + "\n\n" + songs + "\n";
    EXPECT_EQ(kept.substr(28, view.size()), view);
    EXPECT_FALSE(filesIn(tracker.folder() + "/data").count("unsaved_song.dat~saving"));

    tracker.restart();
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForStatus(restoredStatus));
    EXPECT_EQ(gridRows(), typed);

    // Saved under a name: the song file holds exactly the kept song, and
    // there is nothing left to recover.
    ASSERT_TRUE(tracker.enterSongName("kept"));
    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("File Saved..."));
    EXPECT_EQ(readFileBytes(tracker.songPath("kept")), kept.substr(28 + view.size()));
    EXPECT_FALSE(filesIn(tracker.folder() + "/data").count("unsaved_song.dat"));
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    EXPECT_FALSE(filesIn(tracker.folder() + "/data").count("unsaved_song.dat"));
}

TEST_F(Recovery, SigtermKeepsUnsavedNotesAndStillEndsTheProgramBySigterm)
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    std::string typed = typeNotes();
    tracker.process().kill(SIGTERM);
    ASSERT_TRUE(tracker.process().waitExit(30));
    EXPECT_EQ(tracker.process().exitStatus(), -1000 - SIGTERM);
    ASSERT_EQ(readFileBytes(recoveryPath()).rfind(recoveryHeader, 0), 0u);

    tracker.restart();
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForStatus(restoredStatus));
    EXPECT_EQ(gridRows(), typed);
}

// The refresh's interval is counted in update steps, which the tracker's own
// tests run without waiting; here the real program refreshes on its own.
TEST_F(RecoveryRefresh, WhileEditingTheFileIsKeptUpToDate)
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    typeNotes();
    ASSERT_TRUE(waitFor([&] { return !readFileBytes(recoveryPath()).empty(); }, 60));
    EXPECT_TRUE(tracker.process().running());
    // What a power cut would leave is what a close writes.
    tracker.process().kill(SIGKILL);
    ASSERT_TRUE(tracker.process().waitExit(30));
    EXPECT_EQ(tracker.process().exitStatus(), -1000 - SIGKILL);
    tracker.restart();
    ASSERT_TRUE(tracker.waitForWindow());
    EXPECT_TRUE(waitForStatus(restoredStatus));
}

TEST_F(Recovery, WithNothingUnsavedACloseOrASignalWritesNothing)
{
    ASSERT_TRUE(reader.loaded());
    ASSERT_TRUE(tracker.waitForWindow());
    std::set<std::string> before = filesIn(tracker.folder() + "/data");
    ASSERT_TRUE(waitForStatus("Standby..."));
    tracker.click(490, 368);  // octave plus: an entry setting, not the song
    tracker.key("space Down Down");
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    EXPECT_EQ(filesIn(tracker.folder() + "/data"), before);

    tracker.restart();
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_TRUE(waitForStatus("Standby..."));
    tracker.process().kill(SIGTERM);
    ASSERT_TRUE(tracker.process().waitExit(30));
    EXPECT_EQ(tracker.process().exitStatus(), -1000 - SIGTERM);
    EXPECT_EQ(filesIn(tracker.folder() + "/data"), before);
}
