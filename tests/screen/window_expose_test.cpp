// The real program keeps its window's picture when another window passes over
// it, although a still screen draws nothing and swaps nothing.
#include "tests/support/screen_text.h"
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

    XConnection x;
    WindowGeometry where = tracker.geometry();
    x.coverAndUncover({where.x + 100, where.y + 50, 300, 200});
    Picture after;
    bool restored = waitFor(
        [&] {
            after = tracker.screenshot();
            return differingPixels(before, after) == 0;
        },
        10);
    EXPECT_TRUE(restored) << differingPixels(before, after) << " pixels differ after the window was uncovered";
    EXPECT_TRUE(tracker.closeWindow());
}
