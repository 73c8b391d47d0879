// The real program on a large screen: the window shows the very picture of
// scale 1 magnified, clicks land where the magnified buttons are, and
// Ctrl+= / Ctrl+- change the scale and keep it for the next start.
#include "tests/support/child_process.h"
#include "tests/support/screen_text.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t statusInk = 0xAB2568;
constexpr int pictureWidth = 640;
constexpr int pictureHeight = 475;

// The picture of scale 1 a window shows at scale s: one pixel of every block.
Picture unmagnified(const Picture& shown, int scale)
{
    Picture picture {pictureWidth, pictureHeight, {}};
    for (int y = 0; y < pictureHeight; ++y)
        for (int x = 0; x < pictureWidth; ++x) picture.pixels.push_back(shown.at(x * scale, y * scale));
    return picture;
}

// Window pixels that differ from the scale-1 picture's pixel they magnify.
int pixelsNotMagnifying(const Picture& shown, const Picture& original, int scale)
{
    int differing = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) differing += shown.at(x, y) != original.at(x / scale, y / scale);
    return differing;
}

class ScaledWindow : public ::testing::Test {
protected:
    // Room for a window at scale 3 (1920 x 1425).
    static void SetUpTestSuite() { ensureXvfb("2048x1536x24"); }

    std::vector<std::string> environment() const
    {
        return {"ALSOFT_DRIVERS=null", "XDG_CONFIG_HOME=" + config.path()};
    }

    // Waits until the window is s times the picture and the first full
    // repaint reads in it; the picture is left in `shown`.
    bool waitForScreen(TrackerProcess& tracker, int scale, double timeoutSeconds = 30)
    {
        return waitFor(
            [&] {
                shown = tracker.screenshot();
                if (shown.width != pictureWidth * scale || shown.height != pictureHeight * scale) return false;
                Picture picture = unmagnified(shown, scale);
                return reader.read(picture, 0, -1, 43, textInk) == "POS CHN1  CHN2  CHN3  CHN4  POS ## Status: " &&
                       reader.read(picture, 473, -1, 10, statusInk) == "Standby...";
            },
            timeoutSeconds);
    }

    std::string octaveText(TrackerProcess& tracker, int scale)
    {
        return reader.read(unmagnified(tracker.screenshot(), scale), 385, 360, 7, textInk);
    }

    std::string settings() const { return readFileBytes(config.path() + "/kovo-tracker/settings"); }

    TempFolder config;
    ScreenText reader;
    Picture shown;
};

} // namespace

TEST_F(ScaledWindow, AtScalesTwoAndThreeTheWindowMagnifiesTheScaleOnePictureAndClicksLandOnItsButtons)
{
    ASSERT_TRUE(reader.loaded());
    Picture original;
    {
        // No option and no settings: scale 1, as on a 1024 x 768 screen.
        TrackerProcess tracker(environment());
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForScreen(tracker, 1));
        original = shown;
    }
    for (int scale : {2, 3}) {
        TrackerProcess tracker(environment(), {"--scale", std::to_string(scale)});
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForScreen(tracker, scale)) << "scale " << scale;
        EXPECT_EQ(pixelsNotMagnifying(shown, original, scale), 0) << "scale " << scale;
        // The octave spinner's plus, picture units (489..505, 360..372), clicked where it is shown.
        tracker.click(scale * 497, scale * 366);
        EXPECT_TRUE(waitFor([&] { return octaveText(tracker, scale) == " OCT:03"; }, 10)) << "scale " << scale;
        EXPECT_TRUE(tracker.closeWindow());
        EXPECT_EQ(tracker.process().exitStatus(), 0);
    }
    EXPECT_EQ(settings(), "") << "an option given on the command line is not remembered";
}

// While a song plays, the meters and the scopes change frame after frame and
// go into the window from memory, magnified there: the window still shows
// whole blocks of the picture's pixels, and the scopes' traces move.
TEST_F(ScaledWindow, PlayingScopesAreMagnifiedLikeTheRestOfThePicture)
{
    mkdir((config.path() + "/kovo-tracker").c_str(), 0755);
    std::ofstream(config.path() + "/kovo-tracker/settings") << "scopes=on\n";
    constexpr int scale = 2;
    const std::string example = programDirectory() + "/data/examples/arp_waltz";
    TrackerProcess tracker(environment(), {"--scale", std::to_string(scale), "--play", example});
    ASSERT_TRUE(tracker.waitForWindow());
    // The scopes' area, picture units.
    auto scopes = [](const Picture& picture) {
        std::vector<uint32_t> area;
        for (int y = 281; y < 353; ++y)
            for (int x = 390; x < 512; ++x) area.push_back(picture.at(x, y));
        return area;
    };
    Picture first;
    ASSERT_TRUE(waitFor([&] {
        first = tracker.screenshot();
        return first.width == pictureWidth * scale && first.height == pictureHeight * scale;
    }, 30));
    int moves = 0;
    for (int shot = 0; shot < 40 && moves < 3; ++shot) {
        Picture next = tracker.screenshot();
        ASSERT_EQ(pixelsNotMagnifying(next, unmagnified(next, scale), scale), 0) << "shot " << shot;
        moves += scopes(unmagnified(next, scale)) != scopes(unmagnified(first, scale));
        first = next;
    }
    EXPECT_EQ(moves, 3);
    EXPECT_TRUE(tracker.closeWindow());
}

TEST_F(ScaledWindow, ControlKeysChangeTheScaleAndTheChoiceIsKeptForTheNextStart)
{
    config.write("kovo-tracker/settings", "scale=banana\n\x01\x02 not a setting\n");
    {
        TrackerProcess tracker(environment());
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForScreen(tracker, 1)) << "a broken settings file gives the default scale";
        tracker.keyWithControl("equal");
        ASSERT_TRUE(waitForScreen(tracker, 2, 10));
        for (int press = 0; press < 3; ++press) tracker.keyWithControl("equal");  // 4 does not fit 2048 x 1536
        ASSERT_TRUE(waitForScreen(tracker, 3, 10));
        EXPECT_NE(settings().find("scale=3\n"), std::string::npos) << settings();
        tracker.keyWithControl("minus");
        ASSERT_TRUE(waitForScreen(tracker, 2, 10));
        EXPECT_TRUE(tracker.closeWindow());
    }
    EXPECT_NE(settings().find("scale=2\n"), std::string::npos) << settings();
    TrackerProcess again(environment());
    ASSERT_TRUE(again.waitForWindow());
    EXPECT_TRUE(waitForScreen(again, 2)) << "the remembered scale";
}
