// Status messages in the title bar: a short one after "Status: ", a longer
// one over that word and then over whole headings, one longer than the bar
// without its middle; and file places as the screen names them.
#include "app/files/file_place.h"
#include "app/screen/status_fit.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
std::string shown(const TitleLine& line)
{
    String text = line.label;
    text.resize(line.statusColumn, U' ');
    return narrow(text + line.status);
}
} // namespace

TEST(StatusFit, EveryLengthFitsTheBarAndLeavesOnlyWholeHeadings)
{
    EXPECT_EQ(shown(fitTitleLine(U"File not found!")), "POS CHN1  CHN2  CHN3  CHN4  POS ## Status: File not found!");
    EXPECT_EQ(shown(fitTitleLine(U"No Pattern Text!")), "POS CHN1  CHN2  CHN3  CHN4  POS ## No Pattern Text!");
    EXPECT_EQ(shown(fitTitleLine(U"Twenty-four cells of text")), "POS CHN1  CHN2  CHN3  CHN4  POS  Twenty-four cells of text");
    for (size_t length = 0; length <= 80; ++length) {
        TitleLine line = fitTitleLine(String(length, U'x'));
        EXPECT_LE(line.statusColumn + line.status.size(), titleColumns) << length;
        EXPECT_EQ(line.status.size(), std::min(length, titleColumns)) << length;
        // The headings end before the message, with a gap, at a space.
        EXPECT_LE(line.label.size(), line.statusColumn) << length;
        if (length > 23 && !line.label.empty()) {
            EXPECT_LT(line.label.size(), line.statusColumn) << length;
        }
        EXPECT_EQ(String(titleLabel).compare(0, line.label.size(), line.label), 0) << length;
        if (!line.label.empty() && line.label.size() < titleLabel.size()) {
            EXPECT_TRUE(line.label.back() == U' ' || titleLabel[line.label.size()] == U' ') << length;
        }
    }
}

TEST(StatusFit, AMessageLongerThanTheBarKeepsItsStartAndItsEnd)
{
    String path = U"Exported /home/someone/" + String(60, U'd') + U"/my tune.flac";
    TitleLine line = fitTitleLine(path);
    EXPECT_EQ(line.statusColumn, 0u);
    EXPECT_TRUE(line.label.empty());
    EXPECT_EQ(narrow(line.status.substr(0, 23)), "Exported /home/someone/");
    EXPECT_EQ(narrow(line.status.substr(line.status.size() - 14)), "d/my tune.flac");
    EXPECT_NE(line.status.find(U"..."), String::npos);
    EXPECT_EQ(withoutMiddle(U"abcdef", 6), U"abcdef");
    EXPECT_EQ(withoutMiddle(U"abcdefg", 6), U"a...fg");
}

TEST(FilePlace, TheHomeFolderIsWrittenAsATilde)
{
    const char* before = std::getenv("HOME");
    std::string saved = before ? before : "";
    setenv("HOME", "/home/ann/", 1);
    EXPECT_EQ(shownFilePlace(U"/home/ann/.local/share/kovo-tracker/songs"), U"~/.local/share/kovo-tracker/songs");
    EXPECT_EQ(shownFilePlace(U"/home/anne/songs"), U"/home/anne/songs");
    EXPECT_EQ(shownFilePlace(U"/home/ann"), U"/home/ann");
    setenv("HOME", "", 1);
    EXPECT_EQ(shownFilePlace(U"/home/ann/songs"), U"/home/ann/songs");
    if (before) setenv("HOME", saved.c_str(), 1);
    else unsetenv("HOME");
}
