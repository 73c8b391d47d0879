// The recovery file's text: what it keeps comes back exactly, and a text
// that is not one (cut short, changed by hand) changes nothing.
#include "app/recovery_file.h"

#include "song/song_file.h"

#include <gtest/gtest.h>

namespace {

Song someSong()
{
    Song song;
    song.patternColumns = blankColumns();
    song.patternColumns[0][33] = U'q';
    song.patternColumns[7][40] = U'\u20AC';  // any character a song file keeps
    song.positions[1] = 1;
    song.songLengthRows = 64;
    song.speed = 7;
    song.instrumentParams[9] = 12;
    song.instrumentDescriptions[3] = U"lead\n twelve         ";
    return song;
}

} // namespace

TEST(RecoveryFile, KeepsTheSongTheNameAndTheCursor)
{
    Song song = someSong();
    RecoveredView view {U"songs of\n2 lines/x", 6, 17, 1};
    Song back;
    back.patternColumns = blankColumns();
    RecoveredView viewBack;
    ASSERT_TRUE(parseRecoveryText(recoveryText(song, view), back, viewBack));
    EXPECT_EQ(songText(back), songText(song));
    EXPECT_EQ(viewBack.songName, view.songName);
    EXPECT_EQ(viewBack.cursorColumn, 6);
    EXPECT_EQ(viewBack.cursorRow, 17);
    EXPECT_EQ(viewBack.currentPosition, 1);
}

TEST(RecoveryFile, ATextThatIsNotOneChangesNothingAndOddCursorsAreBroughtIntoRange)
{
    String good = recoveryText(someSong(), {U"tune", 1, 1, 0});
    size_t header = good.find(U'\n') + 1;
    const String bad[] = {
        good.substr(0, header),                                 // cut after the first line
        good.substr(0, good.find(U"tune") + 2),                 // cut inside the name
        good.substr(0, good.find(U"tune") + 5),                 // no song after the name
        U"Kovo Tracker unsaved song 2\n" + good.substr(header),  // another format
        good.substr(0, header) + U"1 1 0 99999999999\n" + good.substr(good.find(U"tune")),
        good.substr(0, header) + U"1 -1 0 4\n" + good.substr(good.find(U"tune")),
    };
    for (const String& text : bad) {
        Song song = someSong();
        RecoveredView view;
        EXPECT_FALSE(parseRecoveryText(text, song, view)) << narrow(text.substr(0, 60));
        EXPECT_EQ(songText(song), songText(someSong()));
        EXPECT_TRUE(view.songName.empty());
    }

    Song song;
    RecoveredView view;
    String odd = good.substr(0, header) + U"12 40 300 4\n" + good.substr(good.find(U"tune"));
    ASSERT_TRUE(parseRecoveryText(odd, song, view));
    EXPECT_EQ(view.cursorColumn, 8);
    EXPECT_EQ(view.cursorRow, 32);
    EXPECT_EQ(view.currentPosition, 255);
}
