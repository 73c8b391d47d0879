// The row the screen shows while a song plays: the row clock's, which knows
// nothing of pattern ends, or the row that sounds while live or looping.
#include "player/row_clock.h"
#include "tests/player/player_fixture.h"

#include <gtest/gtest.h>

TEST(RowClockAlone, StepsEverySpeedTicksAfterALongerFirstRowAndWraps)
{
    RowClock clock;
    std::vector<int> rowStarts;
    for (int tick = 0; tick < 12; ++tick) {
        int before = clock.place.row;
        clock.tick(4, rowsPerPattern);
        if (clock.place.row != before) rowStarts.push_back(tick);
    }
    EXPECT_EQ(rowStarts, (std::vector<int> {5, 9}));

    clock = RowClock {{1, 31}, 1};
    clock.tick(1, 2 * rowsPerPattern);
    EXPECT_EQ(clock.place, (PlayPlace {0, 0}));
    // Started beyond the song's length it runs on, and wraps after 255.
    clock = RowClock {{5, 31}, 1};
    clock.tick(1, 2 * rowsPerPattern);
    EXPECT_EQ(clock.place, (PlayPlace {6, 0}));
    clock = RowClock {{positionCount - 1, 31}, 1};
    clock.tick(1, 2 * rowsPerPattern);
    EXPECT_EQ(clock.place, (PlayPlace {0, 0}));
}

TEST_F(PlayerTest, PlayStartsAtTheGivenRowWithTheSongAsItsFileKeepsIt)
{
    song.speed = 0;  // a file's 0 reads as 5
    song.songLengthRows = 3 * rowsPerPattern;
    put(6, 1, U'q', U'8', U'1', U'2', 0);
    song.positions[2] = 0;
    player.play(song, {2, 6});
    EXPECT_EQ(player.song().speed, 5);
    EXPECT_EQ(player.shownPlace(), (PlayPlace {2, 6}));
    playRow();
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {2, 6}));
    EXPECT_NEAR(pitch(1), 2.0f, 1e-5f);

    // A new start forgets the loop and the rows of the last one.
    player.loopRows(0, 3);
    player.play(song, {positionCount, 0});
    EXPECT_FALSE(player.loop());
    EXPECT_EQ(player.upcomingPlace(), (PlayPlace {0, 0}));
    EXPECT_TRUE(player.timeline().empty());
}

TEST_F(PlayerTest, TheShownRowIgnoresPatternEndsUnlessTheSoundingRowIsShown)
{
    song.speed = 1;
    song.songLengthRows = 2 * rowsPerPattern;
    put(3, 1, U'-');
    startPlaying();
    playRows(5);
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {1, 0}));
    EXPECT_EQ(player.shownPlace(), (PlayPlace {0, 4}));

    // Live, the screen shows what sounds; back again, the clock goes on from there.
    player.showSoundingRows(true);
    playRow();
    EXPECT_EQ(player.shownPlace(), (PlayPlace {1, 1}));
    player.showSoundingRows(false);
    EXPECT_EQ(player.shownPlace(), (PlayPlace {1, 1}));
    playRow();
    EXPECT_EQ(player.shownPlace(), (PlayPlace {1, 2}));

    // A loop shows the row that sounds too, and its end hands over the same way.
    player.loopRows(2, 3);
    playRows(2);
    EXPECT_EQ(player.shownPlace(), (PlayPlace {1, 2}));
    player.clearLoop();
    EXPECT_EQ(player.shownPlace(), (PlayPlace {1, 2}));
    playRow();
    EXPECT_EQ(player.shownPlace(), (PlayPlace {1, 3}));
}
