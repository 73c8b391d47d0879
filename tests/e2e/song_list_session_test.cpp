// The song list, the key help and the Control shortcuts in the real program,
// driven by real X key and mouse events (Control chords through XTEST, as a
// keyboard sends them) and read off the window as the user reads it.
#include "app/keys/key_help.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t beatInk = 0x716E7E;
constexpr uint32_t titleInk = 0xAB2568;
constexpr uint32_t detailInk = 0x808080;
constexpr int lineCells = 34;

std::string padded(std::string text, size_t length = lineCells)
{
    text.resize(length, ' ');
    return text;
}

// A text with another flush right at the end of a list line.
std::string withRight(const std::string& left, const std::string& right)
{
    return padded(left, lineCells - right.size()) + right;
}

std::string repeated(const std::string& key, int times)
{
    std::string keys;
    for (int i = 0; i < times; ++i) keys += key + " ";
    return keys;
}

std::string dateOf(time_t seconds)
{
    std::tm local {};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// One C on channel 1 at row 2 with a sustained pulse (WAV 3, ENV 2), as the
// session test types it: 261.6 Hz.
Song beepSong()
{
    Song song;
    song.patternColumns = blankColumns();
    const char32_t cell[] = U"yF12";
    for (int part = 0; part < 4; ++part) song.patternColumns[channelColumn(1, part)][2] = cell[part];
    const int instrument[8] = {3, 0, 0, 0, 2, 0, 0, 0};
    for (int slot = 0; slot < 8; ++slot) song.instrumentParams[8 + slot] = instrument[slot];
    return song;
}

Song blankSong(int speed, int positions)
{
    Song song;
    song.patternColumns = blankColumns();
    song.speed = speed;
    song.songLengthRows = positions * rowsPerPattern;
    return song;
}

class SongListSession : public ::testing::Test {
protected:
    explicit SongListSession(const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"})
        : tracker(environment)
    {
    }

    void waitUntilRunning()
    {
        ASSERT_TRUE(reader.loaded());
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitFor([&] { return reader.status(tracker.screenshot()) == "Standby..."; }, 60));
    }

    // Line n of the overlay area (the rows of the grid) in the ink.
    std::string line(const Picture& shown, int n, uint32_t ink) const
    {
        return reader.read(shown, 0, 12 + 12 * n, lineCells, ink);
    }

    bool waitForLine(int n, uint32_t ink, const std::string& text, double seconds = 30)
    {
        return waitFor([&] { return line(tracker.screenshot(), n, ink) == text; }, seconds);
    }

    bool waitForStatus(const std::string& text)
    {
        return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 30);
    }

    bool waitForPicture(const Picture& expected)
    {
        return waitFor([&] { return tracker.screenshot().pixels == expected.pixels; }, 30);
    }

    // Grid rows whose channel 1 cell shows a note.
    int notesShown()
    {
        Picture shown = tracker.screenshot();
        int notes = 0;
        for (int c = 0; c < rowsPerPattern; ++c) {
            std::string row = reader.read(shown, 0, 12 + 12 * c, 27, c % 4 == 0 ? beatInk : textInk);
            notes += row[4] >= 'A' && row[4] <= 'G';
        }
        return notes;
    }

    std::string songFile(const std::string& name, const Song& song, time_t modified)
    {
        std::string path = tracker.songPath(name);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::string bytes = encodeUtf8(songText(song));
        EXPECT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
        if (file) std::fclose(file);
        timespec times[2] = {{modified, 0}, {modified, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        return path;
    }

    // Quick chords of Control and a key through XTEST, as a keyboard sends
    // them: every other one with Control going down a moment before the key
    // and up right after it, so that Control and the key fall into different
    // polls of the program.
    void controlChords(const std::string& key, int times)
    {
        std::vector<std::string> argv {"xdotool"};
        for (int i = 0; i < times; ++i) {
            if (i % 2 == 0) {
                argv.insert(argv.end(), {"key", "ctrl+" + key, "sleep", "0.05"});
            } else {
                argv.insert(argv.end(), {"keydown", "ctrl", "sleep", "0.03", "key", key, "keyup", "ctrl", "sleep", "0.05"});
            }
        }
        ChildProcess tool(argv);
        ASSERT_TRUE(tool.waitExit(60));
    }

    void doubleClick(int x, int y)
    {
        WindowGeometry at = tracker.geometry();
        ChildProcess tool({"xdotool", "mousemove", std::to_string(at.x + x), std::to_string(at.y + y), "sleep", "0.1",
                           "click", "--repeat", "2", "--delay", "60", "1"});
        ASSERT_TRUE(tool.waitExit(60));
    }

    TrackerProcess tracker;
    ScreenText reader;
};

class SongListWithSound : public SongListSession {
protected:
    SongListWithSound() : SongListSession({capture.environment()}) {}

    static SoundCapture capture;
};

SoundCapture SongListWithSound::capture;

} // namespace

// Fifty quick chords: every one is an undo or redo step, however Control and
// its key fall across the program's polls. Then the help, page by page, as
// the key table lays it out, and closing it leaves the screen as it was.
TEST_F(SongListSession, QuickControlChordsAreNeverLostAndTheHelpShowsTheKeyTable)
{
    waitUntilRunning();
    tracker.key("space");
    // The editor takes one character a step: each note waits for the one before.
    const std::string notes = "ysxdcvgbhnjmysxd";
    for (int k = 1; k <= static_cast<int>(notes.size()); ++k) {
        tracker.type(notes.substr(k - 1, 1), 30);
        ASSERT_TRUE(waitFor([&] { return notesShown() == k; }, 30)) << notesShown() << " notes for " << k;
    }
    // 50 chords: back to 2 notes, on to 14, back and on again.
    const std::pair<const char*, int> rounds[] = {{"z", 14}, {"y", 12}, {"z", 12}, {"y", 12}};
    int expected = static_cast<int>(notes.size());
    for (const auto& [key, times] : rounds) {
        controlChords(key, times);
        expected += std::string(key) == "z" ? -times : times;
        ASSERT_TRUE(waitFor([&] { return notesShown() == expected; }, 30))
            << notesShown() << " notes shown after " << times << " ctrl+" << key << ", not " << expected;
    }
    Picture before = tracker.screenshot();

    tracker.key("ctrl+h");
    std::vector<HelpPage> pages = keyHelpPages(30);
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p > 0) tracker.key("Next");
        std::string number = std::to_string(p + 1) + "/" + std::to_string(pages.size());
        ASSERT_TRUE(waitForLine(0, titleInk, withRight("KEYS AND BUTTONS", number))) << "page " << number;
        Picture shown = tracker.screenshot();
        for (size_t i = 0; i < pages[p].size(); ++i) {
            const HelpLine& help = pages[p][i];
            EXPECT_EQ(line(shown, 1 + static_cast<int>(i), help.keys ? textInk : detailInk), padded(narrow(help.text)))
                << "page " << number << ", line " << i;
        }
        EXPECT_EQ(line(shown, 31, beatInk), padded("Page Up/Down: page  Esc: close"));
    }
    tracker.key("Escape");
    EXPECT_TRUE(waitForPicture(before)) << "the screen differs after the help closed";
}

// The list over a folder with songs in a subfolder and strange files beside
// them: narrowing, listening without loading, the guard over unsaved work,
// loading by Enter and by double click, and a song gone before its load.
TEST_F(SongListWithSound, FindsHearsAndLoadsSongs)
{
    waitUntilRunning();
    const std::string songs = tracker.folder() + "/data/songs";
    ASSERT_EQ(mkdir((songs + "/sub").c_str(), 0755), 0);
    songFile("beep", beepSong(), 1700000000);
    songFile("Capital Idea", blankSong(5, 1), 1600000000);
    const std::string longName = "sub/Quiet Tune With A Name Too Long For The Field";
    songFile(longName, blankSong(6, 2), 1500000000);
    ASSERT_EQ(mkfifo((songs + "/pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (songs + "/zero").c_str()), 0);
    std::string huge = songFile("huge", blankSong(4, 1), 1800000000);
    ASSERT_EQ(truncate(huge.c_str(), 1LL << 30), 0);

    // Work that no SAVE caught: a note in the editor.
    tracker.key("space");
    tracker.type("q");
    ASSERT_TRUE(waitFor([&] {
        return reader.read(tracker.screenshot(), 0, 12, 27, beatInk) == "00  C-381 ---00 ---00 ---00";
    }, 30));
    Picture before = tracker.screenshot();

    tracker.key("ctrl+o");
    ASSERT_TRUE(waitForLine(0, titleInk, padded("SONG LIST - current song unsaved")));
    Picture shown = tracker.screenshot();
    EXPECT_EQ(line(shown, 1, textInk).substr(0, 6), "Find: ");
    EXPECT_EQ(line(shown, 1, textInk).substr(31), "3/3");
    EXPECT_EQ(line(shown, 2, beatInk), padded("Name            Len Spd Modified"));
    EXPECT_EQ(line(shown, 3, textInk), "beep             01  04 " + dateOf(1700000000));
    EXPECT_EQ(line(shown, 4, textInk), "Capital Idea     01  05 " + dateOf(1600000000));
    EXPECT_EQ(line(shown, 5, textInk), "sub/Quiet Tune~  02  06 " + dateOf(1500000000));
    EXPECT_EQ(line(shown, 6, textInk), padded(""));
    EXPECT_EQ(line(shown, 30, detailInk), padded("beep"));
    EXPECT_EQ(line(shown, 31, beatInk), padded("Enter load  F1 listen  Esc close"));

    tracker.type("QUIET", 60);
    ASSERT_TRUE(waitForLine(1, textInk, withRight("Find: QUIET", "1/3")));
    shown = tracker.screenshot();
    EXPECT_EQ(line(shown, 3, textInk).substr(0, 15), "sub/Quiet Tune~");
    EXPECT_EQ(line(shown, 4, textInk), padded(""));
    EXPECT_EQ(line(shown, 30, detailInk), longName.substr(0, 33) + "~");
    tracker.type("x");
    ASSERT_TRUE(waitForLine(3, textInk, padded("No song name holds that text")));
    tracker.key(repeated("BackSpace", 6));
    ASSERT_TRUE(waitForLine(1, textInk, withRight("Find: ", "3/3")));

    // F1 plays the highlighted song from its start; moving on stops it.
    size_t heardFrom = capture.samples().size();
    tracker.key("F1");
    ASSERT_TRUE(waitForLine(31, beatInk, padded("Playing: F1 or a move stops it")));
    std::vector<float> heard = capture.heardAfter(heardFrom, 2400, 37600);
    ASSERT_FALSE(heard.empty()) << "the song was not heard";
    EXPECT_NEAR(strongestFrequency(heard, SoundCapture::rate, 100, 1000).frequency, 261.6, 2.6);
    tracker.key("Down");
    ASSERT_TRUE(waitForLine(31, beatInk, padded("Enter load  F1 listen  Esc close")));
    size_t stopped = capture.samples().size();
    ASSERT_TRUE(waitFor([&] { return capture.samples().size() > stopped + 24000; }, 30));
    EXPECT_LT(rms(slice(capture.samples(), stopped + 4800, stopped + 24000)), 0.001);

    // Closing changes nothing: the editor's song and screen are as they were.
    tracker.key("Escape");
    ASSERT_TRUE(waitForPicture(before)) << "the screen differs after the list closed";

    // Unsaved work asks for a second Enter.
    tracker.key("ctrl+o");
    ASSERT_TRUE(waitForLine(3, textInk, "beep             01  04 " + dateOf(1700000000)));
    tracker.key("Return");
    ASSERT_TRUE(waitForLine(30, titleInk, padded("Unsaved changes:")));
    EXPECT_EQ(line(tracker.screenshot(), 31, titleInk), padded("Enter again to load"));
    EXPECT_EQ(reader.status(tracker.screenshot()), "Editing...");
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    shown = tracker.screenshot();
    EXPECT_EQ(reader.read(shown, 0, 441, 6, textInk), " beep ");
    EXPECT_EQ(reader.read(shown, 0, 36, 27, textInk), "02  C-2F1 ---00 ---00 ---00");

    // Saved work loads at a double click; a name no field could hold loads whole.
    tracker.key("ctrl+o");
    ASSERT_TRUE(waitForLine(0, titleInk, padded("SONG LIST")));
    doubleClick(100, 14 + 12 * 5 + 6);
    ASSERT_TRUE(waitFor([&] { return reader.read(tracker.screenshot(), 0, 441, 35, textInk) == " " + longName.substr(0, 34); },
                        30));
    EXPECT_EQ(reader.status(tracker.screenshot()), "File Loaded...");
    EXPECT_EQ(reader.read(tracker.screenshot(), 385, 372, 7, textInk), " SPD:06");

    // A song that went away after the list was read.
    tracker.key("ctrl+o");
    ASSERT_TRUE(waitForLine(3, textInk, "beep             01  04 " + dateOf(1700000000)));
    ASSERT_EQ(std::remove(tracker.songPath("beep").c_str()), 0);
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("File not found!"));
    EXPECT_TRUE(tracker.closeWindow());
}
