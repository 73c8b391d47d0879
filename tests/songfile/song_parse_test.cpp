// Reading song texts that are not what the writer makes: short, with odd
// header values, with characters no editor types.
#include "song/song_file.h"

#include <gtest/gtest.h>

namespace {

// A song whose every field differs from what a parse of nothing gives.
Song filledSong()
{
    Song song;
    for (PatternColumn& column : song.patternColumns) column = String(columnLength, U'x');
    song.positions.fill(7);
    song.instrumentParams.fill(9);
    song.instrumentDescriptions.fill(U"old");
    return song;
}

// A header: magic, position count, speed, pattern count.
String header(char32_t positions, char32_t speed, char32_t patterns)
{
    return String(U"KOV1") + positions + speed + patterns;
}

void expectColumnsWholeAndBlankFrom(const Song& song, size_t from)
{
    for (int column = 0; column < columnCount; ++column) {
        ASSERT_EQ(song.patternColumns[column].size(), size_t(columnLength));
        EXPECT_EQ(song.patternColumns[column].substr(from), blankColumn(column).substr(from)) << column;
    }
}

} // namespace

TEST(SongParse, AShortTextLeavesWhatItLacksBlankOrZero)
{
    Song song = filledSong();
    parseSongText(header(2, 3, 1) + U"q2w", song);
    EXPECT_EQ(song.songLengthRows, 64);
    EXPECT_EQ(song.speed, 3);
    EXPECT_EQ(song.patternColumns[0].substr(0, 4), U"q2w.");
    expectColumnsWholeAndBlankFrom(song, 3);
    for (int i = 0; i < positionCount; ++i) EXPECT_EQ(song.positions[i], 0);
    for (int j = 0; j < 249; ++j) EXPECT_EQ(song.instrumentParams[j], 0);
    for (int j = 249; j < instrumentValueCount; ++j) EXPECT_EQ(song.instrumentParams[j], 9);
    EXPECT_EQ(song.instrumentDescriptions[0], U"old");
    EXPECT_EQ(song.instrumentDescriptions[1], U"");
}

TEST(SongParse, ATextEndingInTheDescriptionsKeepsWhatIsThere)
{
    Song song = filledSong();
    String text = header(1, 4, 1) + String(512 + 256 + 249, U'\x01') + String(21, U'a') + U"bc";
    parseSongText(text, song);
    EXPECT_EQ(song.positions[255], 1);
    EXPECT_EQ(song.instrumentParams[248], 1);
    EXPECT_EQ(song.instrumentDescriptions[1], String(21, U'a'));
    EXPECT_EQ(song.instrumentDescriptions[2], U"bc");
    EXPECT_EQ(song.instrumentDescriptions[3], U"");
}

TEST(SongParse, PatternCountsOfZeroOrBeyond256KeepTheModelWhole)
{
    for (char32_t patterns : {U'\0', char32_t(257), char32_t(0xFFFF), char32_t(0xFFFFFFFF)}) {
        Song song = filledSong();
        // Enough text for 257 patterns, so a count above 256 finds characters to take.
        parseSongText(header(1, 4, patterns) + String(16 * 32 * 258, U'q'), song);
        ASSERT_EQ(song.patternColumns[15].size(), size_t(columnLength)) << patterns;
        for (int i = 0; i < positionCount; ++i) ASSERT_LT(song.positions[i], patternSlots);
    }
    Song empty = filledSong();
    parseSongText(header(1, 4, 0) + U"\x05", empty);
    expectColumnsWholeAndBlankFrom(empty, 0);
    EXPECT_EQ(empty.positions[0], 5);  // with no patterns the positions follow the header at once
}

TEST(SongParse, HeaderValuesAreTakenAsStoredWithinWhatTheModelHolds)
{
    Song song;
    parseSongText(header(0, 0, 1), song);
    EXPECT_EQ(song.songLengthRows, 0);  // the editor's spinners make it 32
    EXPECT_EQ(song.speed, 5);
    parseSongText(header(0xFFFFFFFF, 0x10FFFF, 1), song);
    EXPECT_EQ(song.songLengthRows, positionCount * rowsPerPattern);
    EXPECT_EQ(song.speed, 0xFFFF);

    // The magic is not checked; cells keep any character; a position past
    // the last pattern reads as 0.
    String cells = String(U"\U0010FFFF") + U'\0' + U"A";
    String positions = String(U"\u00FF") + char32_t(256) + U"\uFFFF";
    parseSongText(String(U"ZZZZ\x01\x04\x01") + cells + String(512 - 3, U'.') + positions, song);
    EXPECT_EQ(song.patternColumns[0].substr(0, 3), cells);
    EXPECT_EQ(song.positions[0], 255);
    EXPECT_EQ(song.positions[1], 0);
    EXPECT_EQ(song.positions[2], 0);
}
