// Theme files: what a line sets, what a bad line is told, the contrast of the
// shipped high-contrast theme, and files that are no theme.
#include "app/screen/screen_theme.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

bool sameColour(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// WCAG 2: relative luminance of a colour as the renderer shows it (whole
// numbers), and the contrast ratio of two.
double luminance(const Colour& colour)
{
    auto linear = [](float value) {
        double c = std::floor(value) / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.r) + 0.7152 * linear(colour.g) + 0.0722 * linear(colour.b);
}

double contrast(const Colour& a, const Colour& b)
{
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Theme shippedTheme(const std::string& name, std::vector<std::string>& complaints)
{
    return parseTheme(readFileBytes(programDirectory() + "/data/themes/" + name + ".theme"), complaints);
}

std::string userThemes() { return std::string(std::getenv("XDG_CONFIG_HOME")) + "/kovo-tracker/themes"; }

} // namespace

TEST(ScreenTheme, LinesSetTheirColoursAndBadLinesKeepTheDefault)
{
    std::vector<std::string> complaints;
    Theme theme = parseTheme("# a comment\r\n\n  grid = 1 2 3  # black enough\r\n"
                             "text=4 5 6\n"
                             "beat = 1 2\n"
                             "caret = 0 0 256\n"
                             "frame = -1 0 0\n"
                             "block = 1 2 3 4\n"
                             "shadow = 1 2 3\n"
                             "scope 9 9 9\n"
                             "description = 9 9 9\n",
                             complaints);
    EXPECT_TRUE(sameColour(theme.grid, {1, 2, 3}));
    EXPECT_TRUE(sameColour(theme.text, {4, 5, 6}));
    EXPECT_TRUE(sameColour(theme.description, {9, 9, 9}));
    EXPECT_TRUE(sameColour(theme.beat, colours::beat));
    EXPECT_TRUE(sameColour(theme.caret, colours::caret));
    EXPECT_TRUE(sameColour(theme.frame, colours::frame));
    EXPECT_TRUE(sameColour(theme.block, colours::block));
    EXPECT_TRUE(sameColour(theme.scope, colours::scope));
    ASSERT_EQ(complaints.size(), 6u);
    EXPECT_EQ(complaints[0], "line 5: \"beat\" needs three numbers 0-255; it keeps its default colour");
    EXPECT_EQ(complaints[1].substr(0, 8), "line 6: ");
    EXPECT_EQ(complaints[2].substr(0, 8), "line 7: ");
    EXPECT_EQ(complaints[3].substr(0, 8), "line 8: ");
    EXPECT_EQ(complaints[4], "line 9: unknown colour \"shadow\"");
    EXPECT_EQ(complaints[5], "line 10: expected \"name = red green blue\"");
}

TEST(ScreenTheme, ShippedThemesAreCleanAndHighContrastReachesSevenToOne)
{
    for (const char* name : {"high-contrast", "paper", "amber"}) {
        std::vector<std::string> complaints;
        shippedTheme(name, complaints);
        EXPECT_TRUE(complaints.empty()) << name << ": " << complaints.front();
    }
    std::vector<std::string> complaints;
    Theme theme = shippedTheme("high-contrast", complaints);
    // Every text colour on every background it is drawn on: the grid and
    // its bars, the frame's panel and status row, the title bar.
    struct Pair {
        Colour Theme::*ink;
        Colour Theme::*paper;
    };
    const Pair pairs[] = {
        {&Theme::text, &Theme::frame},       {&Theme::text, &Theme::grid},         {&Theme::text, &Theme::titleBar},
        {&Theme::text, &Theme::positionMark}, {&Theme::text, &Theme::cursorBar},   {&Theme::text, &Theme::block},
        {&Theme::beat, &Theme::grid},        {&Theme::beat, &Theme::cursorBar},    {&Theme::beat, &Theme::block},
        {&Theme::statusText, &Theme::titleBar}, {&Theme::statusText, &Theme::grid}, {&Theme::description, &Theme::grid},
        {&Theme::caret, &Theme::grid},       {&Theme::caret, &Theme::cursorBar},   {&Theme::caret, &Theme::frame},
    };
    for (const Pair& pair : pairs)
        EXPECT_GE(contrast(theme.*(pair.ink), theme.*(pair.paper)), 7.0) << &pair - pairs;
}

// A user's file takes a shipped theme's place; what is no regular small
// file, or no plain name, gives the default colours at once.
TEST(ScreenTheme, UserThemesAreReadAsAnySmallFile)
{
    std::filesystem::create_directories(userThemes());
    std::ofstream(userThemes() + "/amber.theme") << "grid = 7 7 7\n";
    Theme theme;
    EXPECT_TRUE(loadTheme("amber", theme));
    EXPECT_TRUE(sameColour(theme.grid, {7, 7, 7}));
    EXPECT_TRUE(sameColour(theme.text, colours::text));
    std::vector<std::string> names = themeNames();
    EXPECT_EQ(names.front(), "default");
    EXPECT_EQ(std::count(names.begin(), names.end(), "amber"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "high-contrast"), 1);

    ASSERT_EQ(mkfifo((userThemes() + "/pipe.theme").c_str(), 0644), 0);
    std::ofstream(userThemes() + "/huge.theme") << std::string(100 * 1024, '#');
    for (const char* bad : {"pipe", "huge", "../settings", "missing", ""}) {
        theme.grid = {1, 1, 1};
        EXPECT_FALSE(loadTheme(bad, theme)) << bad;
        EXPECT_TRUE(sameColour(theme.grid, colours::grid)) << bad;
    }
    std::filesystem::remove_all(userThemes());
}
