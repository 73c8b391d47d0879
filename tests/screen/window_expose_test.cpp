// The real program keeps its window's picture when another window passes over
// it, although a still screen draws nothing and swaps nothing; and what it
// copied of the picture piece by piece while playing adds up to the picture.
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/songs/note_grid_song.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr uint32_t textInk = 0x9490A4;

int differingPixels(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height) return -1;
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

// Covers the given part of the tracker's window with another window and
// uncovers it; then the pixels that differ from the picture shown before,
// once the window has had up to 10 s to show its picture again.
int differenceAfterUncovering(TrackerProcess& tracker, const Picture& before, int x, int y, int width, int height)
{
    XConnection connection;
    WindowGeometry where = tracker.geometry();
    connection.coverAndUncover({where.x + x, where.y + y, width, height});
    Picture after;
    waitFor(
        [&] {
            after = tracker.screenshot();
            return differingPixels(before, after) == 0;
        },
        10);
    return differingPixels(before, after);
}

} // namespace

TEST(WindowExpose, AnUncoveredStillWindowShowsItsPictureAgain)
{
    TrackerProcess tracker;
    ScreenText reader;
    ASSERT_TRUE(tracker.waitForWindow());
    Picture before;
    ASSERT_TRUE(waitFor(
        [&] {
            before = tracker.screenshot();
            return before.width == 640 && reader.read(before, 0, -1, 4, textInk) == "POS ";
        },
        30));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // past the first repaints
    before = tracker.screenshot();

    EXPECT_EQ(differenceAfterUncovering(tracker, before, 100, 50, 300, 200), 0)
        << "pixels differ after the window was uncovered";
    EXPECT_TRUE(tracker.closeWindow());
}

TEST(WindowExpose, AfterPlayingTheWindowShowsExactlyThePicture)
{
    TrackerProcess tracker;
    ScreenText reader;
    ASSERT_TRUE(tracker.waitForWindow());
    auto waitForStatus = [&](const std::string& text) {
        return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 60);
    };
    ASSERT_TRUE(waitForStatus("Standby..."));
    // Notes with volumes on every channel, so that the meters move.
    tracker.loadSong("beat", encodeUtf8(songText(noteGridSong(3, 1, 4, {U"y81F", U"q61C", U"b718", U"n514"}))));
    ASSERT_TRUE(waitForStatus("File Loaded..."));

    // While it plays, the meters and the play marker go to the window alone.
    tracker.key("F1");
    ASSERT_TRUE(waitForStatus("Playing..."));
    Picture standby = tracker.screenshot();
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    EXPECT_GT(differingPixels(standby, tracker.screenshot()), 0) << "the meters did not move";
    tracker.key("F1");
    ASSERT_TRUE(waitForStatus("Standby..."));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the meters fall to their floor
    Picture pieced = tracker.screenshot();

    // Uncovered, the window shows the whole picture at once: nothing differs.
    EXPECT_EQ(differenceAfterUncovering(tracker, pieced, 0, 0, 640, 475), 0) << "pixels differ from the whole picture";
    EXPECT_TRUE(tracker.closeWindow());
}
