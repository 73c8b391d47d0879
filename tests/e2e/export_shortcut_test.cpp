// Ctrl+E in the real program, pressed through X: the song in the editor is
// rendered beside the song files while the window goes on, the status row
// tells how far it is, and the file is byte for byte what the command-line
// export makes of the saved song.
#include "tests/support/songs/note_grid_song.h"
#include "tests/support/screen_text.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

namespace {


// A song that takes a moment to render: speed 16 over 40 positions (about
// seven minutes), notes on every channel.
Song longSong() { return noteGridSong(16, 40, 8, {U"y812", U"q612", U"b712", U"n512"}); }

class ExportShortcut : public ::testing::Test {
protected:
    std::string status()
    {
        return reader.status(tracker.screenshot());
    }

    // The window is there and the program runs its steps: keys sent before
    // that would be dropped.
    void waitUntilRunning()
    {
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForStatus("Standby...", 60)) << status();
    }

    bool waitForStatus(const std::string& text, double seconds = 60)
    {
        return waitFor([&] { return status().compare(0, text.size(), text) == 0; }, seconds);
    }

    // Puts the long song into the songs folder and loads it by its name.
    void loadLongSong()
    {
        tracker.loadSong("long", longSongBytes);
        ASSERT_TRUE(waitForStatus("File Loaded...", 60)) << status();
    }

    const std::string longSongBytes = encodeUtf8(songText(longSong()));

    TrackerProcess tracker;
    ScreenText reader;
};

} // namespace

TEST_F(ExportShortcut, WithoutASongNameTheExportFails)
{
    waitUntilRunning();
    tracker.key("ctrl+e");
    EXPECT_TRUE(waitForStatus("Export Failed!", 60)) << status();
}

TEST_F(ExportShortcut, RendersTheEditorsSongAsTheCommandLineDoesWhileTheWindowGoesOn)
{
    waitUntilRunning();
    loadLongSong();

    // In the editor, Ctrl+E types nothing into the pattern. Playing goes on
    // meanwhile, and the export's outcome shows over "Playing...".
    tracker.key("space");
    tracker.key("ctrl+e");
    tracker.key("F1");
    // How far it is shows on the status row meanwhile; whether a screenshot
    // catches that depends on the machine's speed, so the tracker's own tests
    // check it on a render they hold (tests/app/export_key_test.cpp).
    ASSERT_TRUE(waitForStatus("Exported " + tracker.songPath("long.wav"), 240)) << status();
    EXPECT_TRUE(waitForStatus("Playing...", 60)) << status();
    tracker.key("F1");

    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("File Saved...", 60)) << status();
    EXPECT_TRUE(readFileBytes(tracker.songPath("long")) == longSongBytes) << "the pattern changed";

    TempFolder out;
    ChildProcess command({programDirectory() + "/kovo-tracker", "--export", tracker.songPath("long"), "-o",
                          out.path() + "/long.wav", "--quiet"});
    ASSERT_TRUE(command.waitExit(240));
    ASSERT_EQ(command.exitStatus(), 0) << command.standardError();
    std::string fromWindow = readFileBytes(tracker.songPath("long.wav"));
    EXPECT_GT(fromWindow.size(), 70000000u);
    EXPECT_TRUE(fromWindow == readFileBytes(out.path() + "/long.wav")) << "the two routes differ";
    ASSERT_TRUE(tracker.closeWindow());
}

TEST_F(ExportShortcut, ClosingTheWindowDuringAnExportLeavesNoFile)
{
    waitUntilRunning();
    loadLongSong();
    tracker.key("ctrl+e");
    ASSERT_TRUE(waitForStatus("Exporting ", 60)) << status();
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    EXPECT_TRUE(readFileBytes(tracker.songPath("long.wav")).empty());
    EXPECT_TRUE(readFileBytes(tracker.songPath("long.wav~exporting")).empty());
}
