// Ctrl+F in the real program, pressed through X: it steps through the kinds
// of export file, says which on the status row and keeps it in the settings
// file, so that Ctrl+E writes that kind, now and after the next start.
#include "tests/support/screen_text.h"
#include "tests/support/songs/note_grid_song.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

namespace {

class ExportFormatShortcut : public ::testing::Test {
protected:
    std::string status() { return reader.status(tracker.screenshot()); }

    bool waitForStatus(const std::string& text)
    {
        return waitFor([&] { return status() == text; }, 60);
    }

    void startAndLoad()
    {
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForStatus("Standby...")) << status();
        tracker.loadSong("short", songBytes);
        ASSERT_TRUE(waitForStatus("File Loaded...")) << status();
    }

    std::string settings() const { return readFileBytes(tracker.folder() + "/config/kovo-tracker/settings"); }

    const std::string songBytes = encodeUtf8(songText(noteGridSong(4, 1, 8, {U"y812", U"q612", U"b712", U"n512"})));
    TrackerProcess tracker;
    ScreenText reader;
};

} // namespace

TEST_F(ExportFormatShortcut, PicksTheKindOfFileForCtrlEAndKeepsItForTheNextStart)
{
    startAndLoad();
    tracker.key("ctrl+f");
    ASSERT_TRUE(waitForStatus("Export format: FLAC")) << status();
    EXPECT_NE(settings().find("export_format=flac\n"), std::string::npos) << settings();
    tracker.key("ctrl+e");
    ASSERT_TRUE(waitForStatus("Exported " + tracker.songPath("short.flac"))) << status();
    EXPECT_EQ(readFileBytes(tracker.songPath("short.flac")).substr(0, 4), "fLaC");
    EXPECT_TRUE(readFileBytes(tracker.songPath("short.wav")).empty());
    ASSERT_TRUE(tracker.closeWindow());

    tracker.restart();
    startAndLoad();
    tracker.key("ctrl+e");
    EXPECT_TRUE(waitForStatus("Exported " + tracker.songPath("short.flac"))) << status();
    tracker.key("ctrl+f");
    EXPECT_TRUE(waitForStatus("Export format: Vorbis")) << status();
    EXPECT_NE(settings().find("export_format=ogg\n"), std::string::npos) << settings();
    ASSERT_TRUE(tracker.closeWindow());
}

// After the sound files come the song's notes: a module, then a MIDI file,
// then WAV again.
TEST_F(ExportFormatShortcut, OffersTheNotesAsAModuleAndAMidiFile)
{
    startAndLoad();
    for (const char* label : {"FLAC", "Vorbis", "Opus", "MP3", "MOD"}) {
        tracker.key("ctrl+f");
        ASSERT_TRUE(waitForStatus(std::string("Export format: ") + label)) << status();
    }
    EXPECT_NE(settings().find("export_format=mod\n"), std::string::npos) << settings();
    tracker.key("ctrl+e");
    ASSERT_TRUE(waitForStatus("Exported " + tracker.songPath("short.mod"))) << status();
    EXPECT_EQ(readFileBytes(tracker.songPath("short.mod")).substr(1080, 4), "M.K.");
    tracker.key("ctrl+f");
    ASSERT_TRUE(waitForStatus("Export format: MIDI")) << status();
    EXPECT_NE(settings().find("export_format=mid\n"), std::string::npos) << settings();
    tracker.key("ctrl+e");
    ASSERT_TRUE(waitForStatus("Exported " + tracker.songPath("short.mid"))) << status();
    EXPECT_EQ(readFileBytes(tracker.songPath("short.mid")).substr(0, 4), "MThd");
    tracker.key("ctrl+f");
    EXPECT_TRUE(waitForStatus("Export format: WAV")) << status();
    ASSERT_TRUE(tracker.closeWindow());
}
