// What a newcomer meets after the first minutes, through the real program and
// real X events: Ctrl+N and its question, LAYOUT and FLW kept for the next
// start, Home and End, the logo that leads to the key help and the songs
// folder named in the song list.
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t textInk = 0x9490A4, beatInk = 0x716E7E, titleInk = 0xAB2568;
const std::string blankRow = "---00 ---00 ---00 ---00";

class FirstHour : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForStatus("Standby...")) << status();
    }

    std::string status() { return reader.status(tracker.screenshot()); }
    bool waitForStatus(const std::string& text)
    {
        return waitFor([&] { return status() == text; }, 30);
    }
    bool waitForText(int x, int y, uint32_t ink, const std::string& text)
    {
        return waitFor([&] { return reader.read(tracker.screenshot(), x, y, static_cast<int>(text.size()), ink) == text; },
                       30);
    }
    // A grid row's four cells (rows counted from 0), without its number.
    std::string gridCells(int row)
    {
        return reader.read(tracker.screenshot(), 4 * 11, 12 + 12 * row, 23, row % 4 ? textInk : beatInk);
    }
    std::string settings() const { return readFileBytes(tracker.folder() + "/config/kovo-tracker/settings"); }

    TrackerProcess tracker;
    ScreenText reader;
};

} // namespace

TEST_F(FirstHour, CtrlNAsksOverUnsavedWorkThenStartsBlankAndCtrlZBringsTheSongBack)
{
    ASSERT_TRUE(tracker.enterSongName("draft"));
    tracker.key("space");
    ASSERT_TRUE(waitForStatus("Editing...")) << status();
    tracker.key("q");
    ASSERT_TRUE(waitFor([&] { return gridCells(0) != blankRow; }, 30));
    const std::string written = gridCells(0);

    // The question is longer than the room after "Status: ": it shows whole.
    tracker.keyWithControl("n");
    ASSERT_TRUE(waitForStatus("Unsaved changes: Ctrl+N again")) << status();
    EXPECT_EQ(gridCells(0), written);
    tracker.keyWithControl("n");
    ASSERT_TRUE(waitForStatus("New Song...")) << status();
    EXPECT_TRUE(waitFor([&] { return gridCells(0) == blankRow; }, 30)) << gridCells(0);
    EXPECT_EQ(tracker.shownSongName(), "");

    tracker.keyWithControl("z");
    EXPECT_TRUE(waitFor([&] { return gridCells(0) == written; }, 30)) << gridCells(0);
    EXPECT_EQ(tracker.shownSongName(), "draft");
    EXPECT_TRUE(tracker.closeWindow());
}

TEST_F(FirstHour, HomeAndEndTakeTheCursorToThePatternsFirstAndLastRow)
{
    tracker.key("space");
    ASSERT_TRUE(waitForStatus("Editing...")) << status();
    ASSERT_TRUE(tracker.keyEach("Down Down Down"));
    // A step takes its cursor keys before its characters: each note lands
    // where the key before it put the cursor, however the keys are grouped.
    tracker.key("Home w End q");
    EXPECT_TRUE(waitFor([&] { return gridCells(31) != blankRow; }, 30)) << gridCells(31);
    EXPECT_TRUE(waitFor([&] { return gridCells(0) != blankRow; }, 30)) << gridCells(0);
    EXPECT_EQ(gridCells(3), blankRow);
    EXPECT_EQ(gridCells(1), blankRow);
    EXPECT_TRUE(tracker.closeWindow());
}

TEST_F(FirstHour, LayoutAndFollowAreKeptForTheNextStart)
{
    EXPECT_EQ(reader.read(tracker.screenshot(), 520, 440, 9, textInk), "LAYOUT DE");
    tracker.click(540, 450);
    ASSERT_TRUE(waitForText(520, 440, textInk, "LAYOUT US"));
    tracker.click(335, 418);
    ASSERT_TRUE(waitForText(0, 408, textInk, "    on    on    on    on   FLW:On"));
    EXPECT_NE(settings().find("layout=us\n"), std::string::npos) << settings();
    EXPECT_NE(settings().find("follow=on\n"), std::string::npos) << settings();
    ASSERT_TRUE(tracker.closeWindow());

    tracker.restart();
    ASSERT_TRUE(tracker.waitForWindow());
    EXPECT_TRUE(waitForText(520, 440, textInk, "LAYOUT US"));
    EXPECT_TRUE(waitForText(0, 408, textInk, "    on    on    on    on   FLW:On"));
    // Switched back, the defaults are written too.
    tracker.click(540, 450);
    ASSERT_TRUE(waitForText(520, 440, textInk, "LAYOUT DE"));
    EXPECT_NE(settings().find("layout=de\n"), std::string::npos) << settings();
    EXPECT_TRUE(tracker.closeWindow());
}

TEST_F(FirstHour, TheLogoNamesTheHelpKeysUnderThePointerAndOpensTheHelpWhenClicked)
{
    tracker.moveMouse(505, 70);
    ASSERT_TRUE(waitForStatus("Ctrl+H or click: keys  Ctrl+O: songs")) << status();
    tracker.moveMouse(200, 300);
    ASSERT_TRUE(waitForStatus("Standby...")) << status();
    tracker.click(505, 70);
    EXPECT_TRUE(waitForText(0, 12, titleInk, "KEYS AND BUTTONS"));
    tracker.key("Escape");
    tracker.moveMouse(200, 300);
    EXPECT_TRUE(waitForStatus("Standby...")) << status();
    EXPECT_TRUE(tracker.closeWindow());
}

TEST_F(FirstHour, TheSongListNamesTheSongsFolder)
{
    tracker.keyWithControl("o");
    const std::string folder = tracker.folder() + "/data/songs/";
    // In full on standard output; in the list as far as it fits, its ends kept.
    ASSERT_TRUE(waitFor([&] { return tracker.process().standardOutput().find("songs folder " + folder + "\n") !=
                                     std::string::npos; }, 30))
        << tracker.process().standardOutput();
    std::string shown = folder.size() <= 34 ? folder : folder.substr(0, 15) + "..." + folder.substr(folder.size() - 16);
    EXPECT_TRUE(waitForText(0, 12 * 30, beatInk, shown)) << reader.read(tracker.screenshot(), 0, 360, 34, beatInk);
    EXPECT_TRUE(tracker.closeWindow());
}
