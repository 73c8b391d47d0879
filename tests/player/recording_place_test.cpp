// Placing a note played along with the song on the row the musician heard:
// on a device clock the test sets, row starts 100 ms apart.
#include "player/recording_place.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t ms = 1'000'000;
constexpr int64_t rowLength = 100 * ms;
constexpr PlayPlace upcoming {1, 4};

// Rows 0..3 of position 1, starting at 1 s.
RowTimeline fourRows()
{
    RowTimeline timeline;
    for (int row = 0; row < 4; ++row) timeline.record({1000 * ms + row * rowLength, {1, row}});
    return timeline;
}

PlayPlace heard(const RowTimeline& timeline, int64_t key, int64_t latency = 0)
{
    return rowHeardAt(timeline, key, latency, rowLength, upcoming);
}

} // namespace

TEST(RecordingPlace, AKeyLandsOnTheNearerRowStart)
{
    RowTimeline timeline = fourRows();
    EXPECT_EQ(heard(timeline, 1140 * ms), (PlayPlace {1, 1}));  // 40 % into row 1
    EXPECT_EQ(heard(timeline, 1160 * ms), (PlayPlace {1, 2}));  // 60 %: row 2
    EXPECT_EQ(heard(timeline, 1100 * ms), (PlayPlace {1, 1}));  // on its start
    EXPECT_EQ(heard(timeline, 1150 * ms), (PlayPlace {1, 2}));  // halfway goes on
    EXPECT_EQ(heard(timeline, 1149 * ms), (PlayPlace {1, 1}));
}

TEST(RecordingPlace, TheLatencyMovesTheKeyBackToWhatWasHeard)
{
    RowTimeline timeline = fourRows();
    // 60 % into row 2 on the clock, heard 30 ms earlier: 30 % into row 2.
    EXPECT_EQ(heard(timeline, 1260 * ms, 30 * ms), (PlayPlace {1, 2}));
    // 40 % into row 2, heard 80 ms earlier: 60 % into row 1, which rounds to 2.
    EXPECT_EQ(heard(timeline, 1240 * ms, 80 * ms), (PlayPlace {1, 2}));
    // 40 % into row 2, heard 120 ms earlier: 20 % into row 1.
    EXPECT_EQ(heard(timeline, 1240 * ms, 120 * ms), (PlayPlace {1, 1}));
}

TEST(RecordingPlace, TheNewestRowTakesItsLengthFromTheSpeedAndRoundsToTheUpcomingRow)
{
    RowTimeline timeline = fourRows();
    EXPECT_EQ(heard(timeline, 1340 * ms), (PlayPlace {1, 3}));
    EXPECT_EQ(heard(timeline, 1360 * ms), upcoming);
    // A key long after the newest row (the player stalled) still gives the next row.
    EXPECT_EQ(heard(timeline, 9000 * ms), upcoming);
}

TEST(RecordingPlace, RowsComeInTheOrderThePlayerReadThem)
{
    // A loop of rows 6..7 and then a pattern end: the row after 7 is 6, after
    // the second 7 position 2's row 0.
    RowTimeline timeline;
    const PlayPlace order[] = {{1, 6}, {1, 7}, {1, 6}, {1, 7}, {2, 0}};
    for (int i = 0; i < 5; ++i) timeline.record({i * rowLength, order[i]});
    EXPECT_EQ(heard(timeline, 160 * ms), (PlayPlace {1, 6}));
    EXPECT_EQ(heard(timeline, 360 * ms), (PlayPlace {2, 0}));
    // Rows read within one mixing period share a stamp: the later one counts.
    RowTimeline sameStamp;
    sameStamp.record({0, {0, 0}});
    sameStamp.record({0, {0, 1}});
    sameStamp.record({rowLength, {0, 2}});
    EXPECT_EQ(heard(sameStamp, 10 * ms), (PlayPlace {0, 1}));
}

TEST(RecordingPlace, WithoutRowsOrBeforeTheOldestTheNearestKnownRowIsTaken)
{
    EXPECT_EQ(heard(RowTimeline(), 5000 * ms), upcoming);
    RowTimeline timeline = fourRows();
    EXPECT_EQ(heard(timeline, 500 * ms), (PlayPlace {1, 0}));
    EXPECT_EQ(heard(timeline, 1100 * ms, 2000 * ms), (PlayPlace {1, 0}));
}

TEST(RecordingPlace, TheTimelineKeepsTheNewestRowsOldestFirst)
{
    RowTimeline timeline;
    for (int i = 0; i < static_cast<int>(RowTimeline::capacity) + 5; ++i) timeline.record({i, {0, i}});
    ASSERT_EQ(timeline.size(), RowTimeline::capacity);
    EXPECT_EQ(timeline[0].place.row, 5);
    EXPECT_EQ(timeline.newest().place.row, static_cast<int>(RowTimeline::capacity) + 4);
    timeline.clear();
    EXPECT_TRUE(timeline.empty());
}
