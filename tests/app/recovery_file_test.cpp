// The recovery file's text: what it keeps comes back exactly, and a text
// that is not one (cut short, changed by hand) changes nothing.
#include "app/files/recovery_file.h"

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
    song.ownWaves[6] = OwnWave {};
    song.ownWaves[6]->fill(-7);
    return song;
}

} // namespace

TEST(RecoveryFile, KeepsTheSongTheNameThePathAndTheCursor)
{
    Song song = someSong();
    RecoveredView view {U"songs of\n2 lines/x", 6, 17, 1, U"/home/u/dl/songs of\n2 lines/x"};
    Song back;
    back.patternColumns = blankColumns();
    RecoveredView viewBack;
    ASSERT_TRUE(parseRecoveryText(recoveryText(song, view), back, viewBack));
    EXPECT_EQ(songText(back), songText(song));
    EXPECT_EQ(back.ownWaves, song.ownWaves);
    EXPECT_EQ(viewBack.songName, view.songName);
    EXPECT_EQ(viewBack.songPath, view.songPath);
    EXPECT_EQ(viewBack.cursorColumn, 6);
    EXPECT_EQ(viewBack.cursorRow, 17);
    EXPECT_EQ(viewBack.currentPosition, 1);
}

TEST(RecoveryFile, ATextThatIsNotOneChangesNothingAndOddCursorsAreBroughtIntoRange)
{
    String good = recoveryText(someSong(), {U"tune", 1, 1, 0, U"/s/tune"});
    size_t header = good.find(U'\n') + 1;
    const String bad[] = {
        good.substr(0, header),                                 // cut after the first line
        good.substr(0, good.find(U"tune") + 2),                 // cut inside the name
        good.substr(0, good.find(U"/s/tune") + 8),              // no song after the path
        U"Kovo Tracker unsaved song 3\n" + good.substr(header),  // another format
        good.substr(0, header) + U"1 1 0 99999999999 7\n" + good.substr(good.find(U"tune")),
        good.substr(0, header) + U"1 -1 0 4 7\n" + good.substr(good.find(U"tune")),
        good.substr(0, header) + U"1 1 0 4 6\n" + good.substr(good.find(U"tune")),  // a wrong path length
    };
    for (const String& text : bad) {
        Song song = someSong();
        RecoveredView view;
        EXPECT_FALSE(parseRecoveryText(text, song, view)) << narrow(text.substr(0, 60));
        EXPECT_EQ(songText(song), songText(someSong()));
        EXPECT_TRUE(view.songName.empty());
    }

    // A file of the first format, which kept no path, with odd cursor values.
    Song song;
    RecoveredView view;
    String odd = U"Kovo Tracker unsaved song 1\n12 40 300 4\ntune\n" + songText(someSong());
    ASSERT_TRUE(parseRecoveryText(odd, song, view));
    EXPECT_EQ(songText(song), songText(someSong()));
    EXPECT_EQ(view.songName, U"tune");
    EXPECT_EQ(view.songPath, U"");
    EXPECT_EQ(view.cursorColumn, 8);
    EXPECT_EQ(view.cursorRow, 32);
    EXPECT_EQ(view.currentPosition, 255);
}
