// The example songs as a newcomer meets them in the real program: the title
// names the keys, the window has its icon, the song list shows the examples
// after the user's songs, F1 sounds one, Enter loads it and SAVE writes a
// copy into the user's songs folder; LOAD by name finds them too.
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t titleInk = 0xAB2568;
constexpr uint32_t detailInk = 0x808080;
constexpr int lineCells = 34;

const std::string builtExamples = programDirectory() + "/data/examples";
const std::vector<std::string> exampleNames = {"arp_waltz", "drum_pocket", "first_steps", "night_chorus",
                                               "slide_blues"};

std::string padded(std::string text, size_t length = lineCells)
{
    text.resize(length, ' ');
    return text;
}

std::string hexByte(int value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 255);
    return text;
}

// The list line of an example: its name, positions and speed, and the mark.
std::string exampleLine(const std::string& name)
{
    SongHeader header = readSongHeader(readFileBytes(builtExamples + "/" + name));
    return padded(padded(name, 15) + "  " + hexByte(header.positionCount) + "  " + hexByte(header.speed) + " example");
}

// The sizes of the icons xprop lists for the window.
std::vector<std::string> iconSizes(unsigned long window)
{
    ChildProcess xprop({"xprop", "-id", std::to_string(window), "_NET_WM_ICON"});
    if (!xprop.waitExit(30)) return {};
    std::vector<std::string> sizes;
    std::string out = xprop.standardOutput();
    for (size_t at = out.find("Icon ("); at != std::string::npos; at = out.find("Icon (", at + 1))
        sizes.push_back(out.substr(at + 6, out.find(')', at) - at - 6));
    return sizes;
}

class ExampleSongsSession : public ::testing::Test {
protected:
    // The examples are installed beside the program as the build has them:
    // read-only.
    ExampleSongsSession()
        : tracker({}, [](const std::string& folder) {
              ChildProcess copy({"cp", "-rp", builtExamples, folder + "/data/examples"});
              ASSERT_TRUE(copy.waitExit(30) && copy.exitStatus() == 0);
          }, {capture.environment()})
    {
    }

    void waitUntilRunning()
    {
        ASSERT_TRUE(reader.loaded());
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForStatus("Standby..."));
    }

    std::string line(const Picture& shown, int n, uint32_t ink) const
    {
        return reader.read(shown, 0, 12 + 12 * n, lineCells, ink);
    }

    bool waitForLine(int n, uint32_t ink, const std::string& text)
    {
        return waitFor([&] { return line(tracker.screenshot(), n, ink) == text; }, 30);
    }

    bool waitForStatus(const std::string& text)
    {
        return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 60);
    }

    std::string speedShown() { return reader.read(tracker.screenshot(), 385, 372, 7, textInk); }

    std::string installed(const std::string& name) const { return tracker.folder() + "/data/examples/" + name; }

    static SoundCapture capture;
    TrackerProcess tracker;
    ScreenText reader;
};

SoundCapture ExampleSongsSession::capture;

} // namespace

TEST_F(ExampleSongsSession, TitleNamesTheKeysAndTheWindowHasTheIconAndClass)
{
    waitUntilRunning();
    XConnection x;
    EXPECT_EQ(x.title(tracker.window()), "Kovo Tracker v1.705 - Ctrl+H: keys, Ctrl+O: songs");
    // What task bars match with the menu entry's StartupWMClass.
    EXPECT_EQ(x.windowClass(tracker.window()), "kovo-tracker/kovo-tracker");
    const std::vector<std::string> sizes = {"16 x 16", "32 x 32", "48 x 48", "64 x 64", "128 x 128"};
    EXPECT_TRUE(waitFor([&] { return iconSizes(tracker.window()) == sizes; }, 30));
    EXPECT_TRUE(tracker.closeWindow());
}

TEST_F(ExampleSongsSession, ListedAfterTheUsersSongsHeardLoadedAndSavedAsTheUsersCopy)
{
    waitUntilRunning();
    const std::string original = readFileBytes(installed("first_steps"));
    ASSERT_FALSE(original.empty());
    // A song of the user's comes first.
    Song mine;
    mine.patternColumns = blankColumns();
    mine.speed = 3;
    std::string bytes = encodeUtf8(songText(mine));
    std::FILE* file = std::fopen(tracker.songPath("mine").c_str(), "wb");
    ASSERT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);

    tracker.key("ctrl+o");
    ASSERT_TRUE(waitForLine(1, textInk, padded("Find: ", lineCells - 3) + "6/6"));
    Picture shown = tracker.screenshot();
    EXPECT_EQ(line(shown, 3, textInk).substr(0, 24), "mine             01  03 ");
    for (size_t i = 0; i < exampleNames.size(); ++i)
        EXPECT_EQ(line(shown, 4 + static_cast<int>(i), textInk), exampleLine(exampleNames[i])) << exampleNames[i];

    // Typing narrows to the section; the detail line names the example as LOAD does.
    tracker.type("examples/f", 60);
    ASSERT_TRUE(waitForLine(1, textInk, padded("Find: examples/f", lineCells - 3) + "1/6"));
    EXPECT_EQ(line(tracker.screenshot(), 30, detailInk), padded("examples/first_steps"));

    // F1 sounds it from its start without loading it.
    size_t heardFrom = capture.samples().size();
    tracker.key("F1");
    ASSERT_TRUE(waitFor([&] {
        const std::vector<float>& samples = capture.samples();
        size_t onset = firstSoundAfter(samples, heardFrom);
        return onset + SoundCapture::rate < samples.size() &&
               rms(slice(samples, onset, onset + static_cast<size_t>(SoundCapture::rate))) > 0.01;
    }, 60)) << "the example was not heard";
    tracker.key("F1");

    // Enter loads it under its own name; F11 writes the user's copy.
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    EXPECT_EQ(tracker.shownSongName(), "first_steps");
    EXPECT_EQ(speedShown(), " SPD:06");
    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("File Saved..."));
    EXPECT_EQ(readFileBytes(tracker.songPath("first_steps")), original);
    EXPECT_EQ(readFileBytes(installed("first_steps")), original);
    struct stat info {};
    ASSERT_EQ(stat(installed("first_steps").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);

    // LOAD by name finds an example no song of the user's is named after,
    // and the user's song where there is one.
    ASSERT_TRUE(tracker.enterSongName("slide_blues"));
    tracker.key("F12");
    ASSERT_TRUE(waitFor([&] { return speedShown() == " SPD:07"; }, 30));
    EXPECT_EQ(reader.status(tracker.screenshot()), "File Loaded...");
    ASSERT_TRUE(tracker.enterSongName("mine"));
    tracker.key("F12");
    ASSERT_TRUE(waitFor([&] { return speedShown() == " SPD:03"; }, 30));
    ASSERT_TRUE(tracker.enterSongName("examples/night_chorus"));
    tracker.key("F12");
    ASSERT_TRUE(waitFor([&] { return speedShown() == " SPD:08"; }, 30));
    EXPECT_EQ(tracker.shownSongName(), "night_chorus");
    EXPECT_TRUE(tracker.closeWindow());
}

// Beside a song of the user's with an example's name, the example loads
// under the first name nothing in the songs folder has, and SAVE writes that
// one: the user's song stays as it was.
TEST_F(ExampleSongsSession, AnExampleNeverSavesOverTheUsersSongOfItsName)
{
    waitUntilRunning();
    const std::string original = readFileBytes(installed("first_steps"));
    Song mine;
    mine.patternColumns = blankColumns();
    mine.speed = 3;
    const std::string bytes = encodeUtf8(songText(mine));
    std::FILE* file = std::fopen(tracker.songPath("first_steps").c_str(), "wb");
    ASSERT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);

    tracker.key("ctrl+o");
    ASSERT_TRUE(waitForLine(1, textInk, padded("Find: ", lineCells - 3) + "6/6"));
    tracker.type("examples/f", 60);
    ASSERT_TRUE(waitForLine(1, textInk, padded("Find: examples/f", lineCells - 3) + "1/6"));
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    EXPECT_EQ(tracker.shownSongName(), "first_steps 2");
    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("File Saved..."));
    EXPECT_EQ(readFileBytes(tracker.songPath("first_steps")), bytes);
    EXPECT_EQ(readFileBytes(tracker.songPath("first_steps 2")), original);

    // LOAD by the example's own name too, from a new song: clearing "first_steps 2" from the name field would
    // pass through a trailing blank, whose deletion shows nothing to wait for.
    tracker.key("ctrl+n");
    ASSERT_TRUE(waitForStatus("New Song..."));
    ASSERT_TRUE(tracker.enterSongName("examples/first_steps"));
    tracker.key("F12");
    ASSERT_TRUE(waitFor([&] { return tracker.shownSongName() == "first_steps 3"; }, 30)) << tracker.shownSongName();
    EXPECT_EQ(readFileBytes(tracker.songPath("first_steps")), bytes);
    EXPECT_TRUE(tracker.closeWindow());
}
