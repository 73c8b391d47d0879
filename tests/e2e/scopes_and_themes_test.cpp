// The channel scopes and the colour themes in the real program, through X:
// scopes=on shows what each channel sounds and a silent one flat, a click on
// a scope mutes its channel in what is heard, and the high-contrast theme's
// colours are read back from the window.
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/songs/note_grid_song.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>

namespace {

// The scopes' boxes, two by two (as the screen lays them out).
struct Box {
    int x, y, width, height;
};
constexpr Box scopeBox(int channel) { return {390 + 62 * (channel % 2), 281 + 37 * (channel / 2), 60, 35}; }
constexpr uint32_t defaultTrace = 0xC4BEDC;

// The rows of a scope box that hold its trace.
std::set<int> traceRows(const Picture& picture, int channel, uint32_t trace = defaultTrace)
{
    Box box = scopeBox(channel);
    std::set<int> rows;
    for (int y = box.y; y < box.y + box.height; ++y)
        for (int x = box.x; x < box.x + box.width; ++x)
            if (picture.at(x, y) == trace) rows.insert(y - box.y);
    return rows;
}

std::vector<uint32_t> boxPixels(const Picture& picture, int channel)
{
    Box box = scopeBox(channel);
    std::vector<uint32_t> pixels;
    for (int y = box.y; y < box.y + box.height; ++y)
        for (int x = box.x; x < box.x + box.width; ++x) pixels.push_back(picture.at(x, y));
    return pixels;
}

// Kept for a person to look at when KOVO_SCREENSHOTS names a folder.
void keepScreenshot(const Picture& picture, const std::string& name)
{
    const char* folder = std::getenv("KOVO_SCREENSHOTS");
    if (folder && *folder) picture.savePng(std::string(folder) + "/" + name + ".png");
}

// The settings file the tracker finds at its start.
std::function<void(const std::string&)> withSettings(const std::string& lines)
{
    return [lines](const std::string& folder) {
        mkdir((folder + "/config").c_str(), 0755);
        mkdir((folder + "/config/kovo-tracker").c_str(), 0755);
        std::ofstream(folder + "/config/kovo-tracker/settings") << lines;
    };
}

// Channels 1 to 3 hold triangles at C, E and G (octave 2) on every other
// row, with a long envelope so they sound without a break; channel 4 is
// silent.
std::string scopeSong()
{
    Song song = noteGridSong(3, 8, 2, {U"yF12", U"cF12", U"bF12", U"yF12"});
    const int triangle[slotsPerInstrument] = {4, 0, 0, 0, 200, 0, 0, 0};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = triangle[slot];
    const auto blank = blankColumns();
    for (int part = 0; part < 4; ++part) song.patternColumns[channelColumn(4, part)] = blank[channelColumn(4, part)];
    return encodeUtf8(songText(song));
}

constexpr double noteE = 329.6, noteG = 392.0;

class ScopesAndThemes : public ::testing::Test {
protected:
    std::string status() { return reader.status(tracker->screenshot()); }
    // The status message in a theme's status colour, without the spaces
    // around it.
    std::string statusIn(uint32_t ink)
    {
        std::string text = reader.read(tracker->screenshot(), 35 * ScreenText::cellWidth, -1, 23, ink);
        size_t first = text.find_first_not_of(' ');
        return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
    }
    bool waitForStatus(const std::string& text)
    {
        return waitFor([&] { return status() == text; }, 60);
    }
    void start(const std::string& settings, const std::vector<std::string>& environment = {"ALSOFT_DRIVERS=null"})
    {
        tracker = std::make_unique<TrackerProcess>(std::vector<std::string>(), withSettings(settings), environment);
        ASSERT_TRUE(tracker->waitForWindow());
    }
    // The next half second of sound once a quarter second has gone by (the
    // sound reaches the capture a little after the player changed it).
    std::vector<float> soundFromNow()
    {
        size_t from = capture.samples().size() + static_cast<size_t>(SoundCapture::rate / 4);
        size_t to = from + static_cast<size_t>(SoundCapture::rate / 2);
        waitFor([&] { return capture.samples().size() >= to; }, 60);
        return slice(capture.samples(), from, to);
    }

    SoundCapture capture;
    std::unique_ptr<TrackerProcess> tracker;
    ScreenText reader;
};

} // namespace

TEST_F(ScopesAndThemes, ScopesShowEachChannelsSoundAndAClickMutesIt)
{
    start("scopes=on\n", {capture.environment()});
    ASSERT_TRUE(waitForStatus("Standby..."));
    // Before anything sounds every scope is a flat line across its middle.
    Picture silent = tracker->screenshot();
    for (int k = 0; k < 4; ++k) EXPECT_EQ(traceRows(silent, k), std::set<int> {17}) << "channel " << k + 1;
    tracker->loadSong("scopes", scopeSong());
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    tracker->key("F1");
    ASSERT_TRUE(waitForStatus("Playing..."));

    // The sounding channels' traces swing, and move from picture to picture.
    Picture first;
    ASSERT_TRUE(waitFor([&] {
        first = tracker->screenshot();
        return traceRows(first, 0).size() > 8 && traceRows(first, 1).size() > 8 && traceRows(first, 2).size() > 8;
    }, 60));
    keepScreenshot(first, "scopes-playing");
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(waitFor([&] { return boxPixels(tracker->screenshot(), k) != boxPixels(first, k); }, 60)) << k;
    for (int shot = 0; shot < 5; ++shot) EXPECT_EQ(traceRows(tracker->screenshot(), 3), std::set<int> {17});

    std::vector<float> before = soundFromNow();
    double heardE = toneAmplitude(before, SoundCapture::rate, noteE);
    EXPECT_GT(heardE, 0.02);

    // A click on channel 2's scope mutes it as its on/off word does: the word
    // says "off", its trace goes flat once it reads its next note, and E is
    // no longer heard while G plays on. (Not C: every note starts its wave
    // afresh, 120 ms apart, which jumps C's phase by 0.39 of a cycle and G's
    // by only 0.04, so C's level over half a second depends on where it falls.)
    Box two = scopeBox(1);
    tracker->click(two.x + two.width / 2, two.y + two.height / 2);
    EXPECT_TRUE(waitFor([&] { return reader.read(tracker->screenshot(), 110, 408, 3, 0x9490A4) == "off"; }, 60));
    ASSERT_TRUE(waitFor([&] { return traceRows(tracker->screenshot(), 1) == std::set<int> {17}; }, 60));
    std::vector<float> after = soundFromNow();
    EXPECT_LT(toneAmplitude(after, SoundCapture::rate, noteE), heardE * 0.05);
    EXPECT_GT(toneAmplitude(after, SoundCapture::rate, noteG), 0.02);

    // A right click on channel 1 leaves it alone; another brings all back.
    Box one = scopeBox(0);
    tracker->click(one.x + 5, one.y + 5, 3);
    EXPECT_TRUE(waitFor([&] {
        Picture shot = tracker->screenshot();
        return reader.read(shot, 44, 408, 3, 0x9490A4) == "on " && reader.read(shot, 176, 408, 3, 0x9490A4) == "off";
    }, 60));
    tracker->click(one.x + 5, one.y + 5, 3);
    EXPECT_TRUE(waitFor([&] { return reader.read(tracker->screenshot(), 0, 408, 30, 0x9490A4) == "    on    on    on    on   FLW"; }, 60));
    ASSERT_TRUE(tracker->closeWindow());
}

namespace {

// WCAG 2 relative luminance and contrast ratio of 0xRRGGBB colours.
double luminance(uint32_t colour)
{
    auto channel = [colour](int shift) {
        double c = static_cast<double>((colour >> shift) & 0xFF) / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(16) + 0.7152 * channel(8) + 0.0722 * channel(0);
}

double contrast(uint32_t a, uint32_t b)
{
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most cells of a text's first cell that are not paper have.
uint32_t inkOf(const Picture& picture, int x, int y, uint32_t paper)
{
    std::map<uint32_t, int> counts;
    for (int dy = 0; dy < ScreenText::cellHeight; ++dy)
        for (int dx = 0; dx < ScreenText::cellWidth * 3; ++dx)
            if (picture.at(x + dx, y + dy) != paper) ++counts[picture.at(x + dx, y + dy)];
    uint32_t best = paper;
    int most = 0;
    for (auto [colour, count] : counts)
        if (count > most) best = colour, most = count;
    return best;
}

} // namespace

// The colours are read back from the window, texts with the theme's ink on
// the theme's paper, and every text measured against its background.
TEST_F(ScopesAndThemes, HighContrastThemeDrawsEveryTextAtSevenToOne)
{
    start("theme=high-contrast\n");
    Picture shot;
    ASSERT_TRUE(waitFor([&] {
        shot = tracker->screenshot();
        return reader.read(shot, 0, 408, 30, 0xFFFFFF) == "    on    on    on    on   FLW";
    }, 60));
    keepScreenshot(shot, "theme-high-contrast");
    const uint32_t frame = shot.at(1, 470), grid = shot.at(10, 200), titleBar = shot.at(600, 5);
    EXPECT_EQ(frame, 0x000000u);
    EXPECT_EQ(grid, 0x000000u);
    EXPECT_EQ(reader.read(shot, 0, 12 + 12, 2, 0xFFFFFF, grid), "01");       // a grid row in the text colour
    EXPECT_EQ(reader.read(shot, 0, 12 + 4 * 12, 2, 0xFFEB00, grid), "04");   // a beat row
    EXPECT_EQ(reader.read(shot, 385, 144, 15, 0xFFFFFF, frame), "  INSTRUMENT:01");
    EXPECT_EQ(statusIn(0x00FFFF), "Standby...");
    struct Seen {
        const char* what;
        uint32_t ink, paper;
    };
    const Seen seen[] = {
        {"grid text", inkOf(shot, 0, 24, grid), grid},
        {"beat row", inkOf(shot, 0, 60, grid), grid},
        {"panel", inkOf(shot, 385 + 11 * 9, 168, frame), frame},
        {"header", inkOf(shot, 0, 0, titleBar), titleBar},
        {"status", inkOf(shot, 43 * 11, 0, titleBar), titleBar},
        {"current position", inkOf(shot, 308, 12, shot.at(380, 16)), shot.at(380, 16)},
    };
    for (const Seen& s : seen) {
        EXPECT_NE(s.ink, s.paper) << s.what;
        EXPECT_GE(contrast(s.ink, s.paper), 7.0) << s.what;
    }
    ASSERT_TRUE(tracker->closeWindow());
}

// Ctrl+G and Ctrl+T change the screen at once and are kept for the next
// start; a theme of the user's own is offered by Ctrl+T, and its bad line is
// named with its file and line, its colour left at the default.
TEST_F(ScopesAndThemes, KeysSwitchScopesAndThemesAndTheSettingsKeepThem)
{
    start("");
    ASSERT_TRUE(waitForStatus("Standby..."));
    std::string themes = tracker->folder() + "/config/kovo-tracker/themes";
    mkdir(themes.c_str(), 0755);
    std::ofstream(themes + "/zz-mine.theme") << "# mine\ngrid = 0 0 90\ntext = 255 255 300\n";
    EXPECT_TRUE(traceRows(tracker->screenshot(), 0).empty());
    tracker->keyWithControl("g");
    EXPECT_TRUE(waitForStatus("Scopes on"));
    EXPECT_TRUE(waitFor([&] { return traceRows(tracker->screenshot(), 3) == std::set<int> {17}; }, 60));
    std::string settings = tracker->folder() + "/config/kovo-tracker/settings";
    EXPECT_NE(readFileBytes(settings).find("scopes=on\n"), std::string::npos);

    // default, amber, high-contrast, paper, then the user's own; each says
    // so in its own status colour.
    struct Step {
        std::string name;
        uint32_t statusInk;
    };
    for (const Step& step : {Step {"amber", 0xFFDC78}, Step {"high-contrast", 0x00FFFF}, Step {"paper", 0x8C0A28},
                             Step {"zz-mine", 0xAB2568}}) {
        tracker->keyWithControl("t");
        std::string expected = "Theme: " + step.name;
        EXPECT_TRUE(waitFor([&] { return statusIn(step.statusInk) == expected; }, 60)) << expected;
        keepScreenshot(tracker->screenshot(), "theme-" + step.name);
    }
    Picture mine = tracker->screenshot();
    EXPECT_EQ(mine.at(10, 200), 0x00005Au);                                                     // its grid colour
    EXPECT_EQ(reader.read(mine, 0, 24, 2, 0x9490A4), "01");                          // the default text colour
    EXPECT_NE(readFileBytes(settings).find("theme=zz-mine\n"), std::string::npos);
    ASSERT_TRUE(tracker->closeWindow());
    EXPECT_NE(tracker->process().standardError().find(themes + "/zz-mine.theme line 3:"), std::string::npos)
        << tracker->process().standardError();

    tracker->restart();
    ASSERT_TRUE(tracker->waitForWindow());
    EXPECT_TRUE(waitFor([&] {
        Picture shot = tracker->screenshot();
        return shot.at(10, 200) == 0x00005Au && traceRows(shot, 3) == std::set<int> {17};
    }, 60));
    ASSERT_TRUE(tracker->closeWindow());
}
