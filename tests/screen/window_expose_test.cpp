// The real program keeps its window's picture when another window passes over
// it, although a still screen draws nothing and swaps nothing; and what it
// copied of the picture piece by piece while playing adds up to the picture.
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
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

// Notes with volumes on every channel, so that the meters move while it plays.
std::string beatSong()
{
    Song song;
    song.patternColumns = blankColumns();
    song.speed = 3;
    song.songLengthRows = rowsPerPattern;
    const int instrument[slotsPerInstrument] = {1, 6, 0, 0x35, 60, 2, 4, 7};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = instrument[slot];
    const char32_t* cells[] = {U"y81F", U"q61C", U"b718", U"n514"};
    for (int channel = 1; channel <= 4; ++channel)
        for (int row = channel; row < rowsPerPattern; row += 4)
            for (int part = 0; part < 4; ++part)
                song.patternColumns[channelColumn(channel, part)][static_cast<size_t>(row)] = cells[channel - 1][part];
    return encodeUtf8(songText(song));
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

TEST(WindowExpose, AfterPlayingTheWindowShowsExactlyThePicture)
{
    TrackerProcess tracker;
    ScreenText reader;
    ASSERT_TRUE(tracker.waitForWindow());
    auto waitForStatus = [&](const std::string& text) {
        return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 60);
    };
    ASSERT_TRUE(waitForStatus("Standby..."));
    {
        std::FILE* file = std::fopen(tracker.songPath("beat").c_str(), "wb");
        ASSERT_TRUE(file);
        std::string bytes = beatSong();
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    tracker.click(100, 450);
    tracker.type("beat");
    tracker.key("Return");
    tracker.key("F12");
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
    XConnection x;
    WindowGeometry where = tracker.geometry();
    x.coverAndUncover({where.x, where.y, 640, 475});
    Picture whole;
    bool same = waitFor(
        [&] {
            whole = tracker.screenshot();
            return differingPixels(pieced, whole) == 0;
        },
        10);
    EXPECT_TRUE(same) << differingPixels(pieced, whole) << " pixels differ from the whole picture";
    EXPECT_TRUE(tracker.closeWindow());
}
