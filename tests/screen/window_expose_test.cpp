// The real program keeps its window's picture when another window passes over
// it, although a still screen draws nothing and swaps nothing; and what it
// copied of the picture piece by piece while playing adds up to the picture.
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/songs/note_grid_song.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

namespace {

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

// The four level meters' columns: 16 x 64 each, 22 apart from x 407.
bool metersAlike(const Picture& a, const Picture& b)
{
    for (int y = 284; y < 348; ++y)
        for (int x = 407; x < 407 + 3 * 22 + 16; ++x)
            if (a.at(x, y) != b.at(x, y)) return false;
    return true;
}

// Waits until the window shows the expected picture, save for the status
// row's right part, which the test reads itself; then that picture.
Picture pictureLike(TrackerProcess& tracker, const Picture& expected)
{
    constexpr int statusLeft = 35 * ScreenText::cellWidth, statusBottom = 12;
    auto alike = [&](const Picture& shown) {
        if (shown.width != expected.width || shown.height != expected.height) return false;
        for (int y = 0; y < shown.height; ++y)
            for (int x = 0; x < shown.width; ++x)
                if ((y >= statusBottom || x < statusLeft) && shown.at(x, y) != expected.at(x, y)) return false;
        return true;
    };
    Picture shown;
    EXPECT_TRUE(waitFor(
        [&] {
            shown = tracker.screenshot();
            return alike(shown);
        },
        30))
        << "the window never showed the expected picture";
    return shown;
}

} // namespace

TEST(WindowExpose, AnUncoveredStillWindowShowsItsPictureAgain)
{
    TrackerProcess tracker;
    ScreenText reader;
    ASSERT_TRUE(tracker.waitForWindow());
    // Past the first repaints: the whole first screen is there.
    Picture before = pictureLike(tracker, loadPng(KOVO_FIRST_SCREEN_REFERENCE));
    ASSERT_EQ(reader.status(before), "Standby...");

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
    const Picture resting = tracker.screenshot();

    // While it plays, the meters and the play marker go to the window alone.
    tracker.key("F1");
    ASSERT_TRUE(waitForStatus("Playing..."));
    EXPECT_TRUE(waitFor([&] { return !metersAlike(resting, tracker.screenshot()); }, 30)) << "the meters did not move";
    tracker.key("F1");
    ASSERT_TRUE(waitForStatus("Standby..."));
    // The meters fall to their floor, and the window is still.
    EXPECT_TRUE(waitFor([&] { return metersAlike(resting, tracker.screenshot()); }, 30)) << "the meters did not fall";
    // Stopped, the picture is the one before playing again, with a new status.
    Picture pieced = pictureLike(tracker, resting);
    ASSERT_EQ(reader.status(pieced), "Standby...");

    // Uncovered, the window shows the whole picture at once: nothing differs.
    EXPECT_EQ(differenceAfterUncovering(tracker, pieced, 0, 0, 640, 475), 0) << "pixels differ from the whole picture";
    EXPECT_TRUE(tracker.closeWindow());
}
