// Playing along with an editor: the player takes the edited song while it
// plays, loops rows, says which row sounds and sounds single rows.
#include "tests/player/player_fixture.h"

#include "tests/support/signal_analysis.h"

#include <vector>

namespace {

constexpr int framesPerTick = LoopbackAudio::sampleRate / 50;
constexpr double lowNote = 261.63;  // "y" at octave 2 on the fixture's saw
constexpr double highNote = 2 * lowNote;

class LivePlayTest : public PlayerTest {
protected:
    void follow() { player.follow(song); }

    std::vector<float> play(int ticks) { return playAndMix(player, loopback, ticks); }

    // The rows the player sounds over the next reads.
    std::vector<std::pair<int, int>> placesOfNextRows(int rows)
    {
        std::vector<std::pair<int, int>> places;
        for (int i = 0; i < rows; ++i) {
            playRow();
            PlayPlace place = player.soundingPlace();
            places.emplace_back(place.position, place.row);
        }
        return places;
    }

    double frequencyOf(const std::vector<float>& mix)
    {
        return strongestFrequency(mix, LoopbackAudio::sampleRate, 180, 760).frequency;
    }
};

using Places = std::vector<std::pair<int, int>>;

} // namespace

// ---- Following the edited song ----

TEST_F(LivePlayTest, AChangedRowIsHeardWhenItIsNextReadAndNotBefore)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    startPlaying();
    play(4 + 3 * 4);  // rows 0..2 read
    put(0, 1, U'q', U'8', U'1', U'2');
    follow();
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {0, 2}));

    // The rest of the pass keeps the note that was read; the next pass has the new one.
    std::vector<float> restOfPass = play(29 * 4);
    std::vector<float> nextPass = play(16 * 4);
    double before = frequencyOf(slice(restOfPass, framesPerTick, restOfPass.size()));
    double after = frequencyOf(slice(nextPass, 2 * framesPerTick, nextPass.size()));
    RecordProperty("before_hz", std::to_string(before));
    RecordProperty("after_hz", std::to_string(after));
    EXPECT_NEAR(before, lowNote, 2.6);
    EXPECT_NEAR(after, highNote, 5.2);
}

TEST_F(LivePlayTest, FollowingKeepsThePlaceTheTickAndTheSoundingVoices)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(1, 2, U'q', U'8', U'1', U'2');
    startPlaying();
    playRows(2);
    player.tickPlayer();
    loopback.render(framesPerTick);
    int offsetBefore = offset(1);
    float tickBefore = player.ticksIntoRow();

    song.songLengthRows = 2 * rowsPerPattern;
    song.positions[1] = 3;
    put(9, 3, U'w', U'8', U'1', U'2');
    follow();
    EXPECT_EQ(player.upcomingPlace(), (PlayPlace {0, 2}));
    EXPECT_EQ(player.ticksIntoRow(), tickBefore);
    EXPECT_EQ(player.song().songLengthRows, 2 * rowsPerPattern);
    EXPECT_EQ(player.song().positions[1], 3);
    // The columns are the editor's own texts: nothing was copied.
    for (int column = 0; column < columnCount; ++column)
        EXPECT_TRUE(player.song().patternColumns[column].sharesTextWith(song.patternColumns[column]));
    // Both notes go on where they were, at their pitch.
    EXPECT_EQ(state(1), AL_PLAYING);
    EXPECT_EQ(state(2), AL_PLAYING);
    player.tickPlayer();
    loopback.render(framesPerTick);
    EXPECT_GT(offset(1), offsetBefore);
    EXPECT_FLOAT_EQ(pitch(1), 1.0f);
    EXPECT_NEAR(pitch(2), 2.0f, 1e-5);
}

TEST_F(LivePlayTest, AChangedInstrumentIsHeardFromTheNextTick)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    startPlaying();
    playRow();
    EXPECT_FLOAT_EQ(pitch(1), 1.0f);
    EXPECT_FLOAT_EQ(pitch(5), 1.0f);
    float gainBefore = gain(1);

    // An arpeggio an octave up on its next step (the note is a tick old), a
    // fast envelope and a detune.
    setInstrument(1, InstrumentSettings().amtSwp(0x0F).arpSpeed(1).arpFirst(12).env(1).pwm(8));
    follow();
    player.tickPlayer();
    EXPECT_NEAR(pitch(1), 2.0f, 1e-5);
    EXPECT_NEAR(pitch(5), pitch(1) + 8.0f / 800.0f, 1e-5);
    EXPECT_NEAR(gain(1), gainBefore - 0.125f, 1e-5);
}

TEST_F(LivePlayTest, ASpeedLoweredBelowTheTickCountStillReadsTheNextRow)
{
    song.speed = 8;
    put(1, 1, U'y', U'8', U'1', U'2');
    startPlaying();
    playRow();
    for (int i = 0; i < 5; ++i) player.tickPlayer();
    ASSERT_EQ(player.ticksIntoRow(), 6.0f);

    song.speed = 2;
    follow();
    player.tickPlayer();
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {0, 1}));
    EXPECT_EQ(state(1), AL_PLAYING);
    EXPECT_EQ(placesOfNextRows(2), (Places {{0, 2}, {0, 3}}));
    EXPECT_EQ(player.ticksIntoRow(), 1.0f);
}

TEST_F(LivePlayTest, ASongShortenedBeforeThePlayingPositionGoesBackToTheStart)
{
    song.songLengthRows = 4 * rowsPerPattern;
    startPlaying();
    player.goTo({2, 0});
    playRow();
    song.songLengthRows = 2 * rowsPerPattern;
    follow();
    playRows(31);
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {2, 31}));
    playRow();
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {0, 0}));

    // Lengthened again before the end, it plays on to the next position.
    player.goTo({1, 31});
    song.songLengthRows = rowsPerPattern;
    follow();
    song.songLengthRows = 3 * rowsPerPattern;
    follow();
    playRows(2);
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {2, 0}));

    // Playback started beyond the end plays on, as it always has.
    player.goTo({5, 31});
    follow();
    playRows(2);
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {6, 0}));
}

// ---- Loops ----

TEST_F(LivePlayTest, ALoopRepeatsItsRowsUntilItIsCleared)
{
    song.songLengthRows = 2 * rowsPerPattern;
    startPlaying();
    playRows(3);
    player.loopRows(6, 4);  // either order
    EXPECT_EQ(placesOfNextRows(8), (Places {{0, 3}, {0, 4}, {0, 5}, {0, 6}, {0, 4}, {0, 5}, {0, 6}, {0, 4}}));

    player.clearLoop();
    EXPECT_EQ(placesOfNextRows(3), (Places {{0, 5}, {0, 6}, {0, 7}}));
    playRows(24);
    EXPECT_EQ(placesOfNextRows(1), (Places {{1, 0}}));
}

TEST_F(LivePlayTest, AWholePatternLoopStaysOnItsPositionAndReleasesToTheNext)
{
    song.songLengthRows = 3 * rowsPerPattern;
    startPlaying();
    player.goTo({1, 0});
    playRows(30);
    player.loopRows(0, 31);
    EXPECT_EQ(placesOfNextRows(3), (Places {{1, 30}, {1, 31}, {1, 0}}));
    playRows(31);
    player.clearLoop();
    EXPECT_EQ(placesOfNextRows(2), (Places {{2, 0}, {2, 1}}));
}

TEST_F(LivePlayTest, APatternEndInsideALoopGoesBackToItsFirstRow)
{
    song.songLengthRows = 2 * rowsPerPattern;
    put(5, 2, U'-');
    put(7, 4, U'-');
    startPlaying();
    player.loopRows(2, 20);
    EXPECT_EQ(placesOfNextRows(9), (Places {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 2}, {0, 3}, {0, 4}}));

    // The "-" of channel 4 ends a loop as well.
    player.loopRows(6, 10);
    player.goTo({0, 6});
    EXPECT_EQ(placesOfNextRows(3), (Places {{0, 6}, {0, 7}, {0, 6}}));
}

TEST_F(LivePlayTest, ALoopSetBehindThePlayerStartsAtOnceAndOddRowsAreHeldToThePattern)
{
    startPlaying();
    playRows(12);
    player.loopRows(-5, 3);
    ASSERT_TRUE(player.loop());
    EXPECT_EQ(player.loop()->first, 0);
    EXPECT_EQ(player.loop()->last, 3);
    EXPECT_EQ(placesOfNextRows(3), (Places {{0, 12}, {0, 0}, {0, 1}}));
    player.loopRows(40, 29);
    EXPECT_EQ(player.loop()->first, 29);
    EXPECT_EQ(player.loop()->last, 31);
}

// ---- Where the player is ----

TEST_F(LivePlayTest, TheSoundingRowIsTheOneReadAlsoAfterAnEarlyPatternEnd)
{
    song.songLengthRows = 2 * rowsPerPattern;
    put(3, 1, U'-');
    startPlaying();
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {0, 0}));
    EXPECT_EQ(placesOfNextRows(5), (Places {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}}));
    // Between reads the row read last still sounds.
    player.tickPlayer();
    EXPECT_EQ(player.soundingPlace(), (PlayPlace {1, 0}));
    EXPECT_EQ(player.upcomingPlace(), (PlayPlace {1, 1}));
}

TEST_F(LivePlayTest, EveryRowReadIsStampedWithTheDeviceClock)
{
    put(2, 1, U'-');
    startPlaying();
    std::vector<float> lead = play(4);  // the first row is read on the fifth tick
    play(3 * 4 + 1);
    const RowTimeline& timeline = player.timeline();
    ASSERT_EQ(timeline.size(), 4u);
    const PlayPlace places[] = {{0, 0}, {0, 1}, {0, 2}, {0, 0}};
    int64_t tick = 1'000'000'000LL * framesPerTick / LoopbackAudio::sampleRate;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(timeline[i].place, places[i]) << i;
        // Each row is read before the tick's sound is mixed.
        EXPECT_EQ(timeline[i].clock - timeline[0].clock, static_cast<int64_t>(i) * 4 * tick) << i;
    }
    // A key half a tick into the third row lands on it without latency. With
    // a row and a half of latency it was heard 62.5 % into the first row,
    // which rounds to the second.
    int64_t key = timeline[2].clock + tick / 2;
    EXPECT_EQ(player.rowHeardAt(key, 0), (PlayPlace {0, 2}));
    EXPECT_EQ(player.rowHeardAt(key, 6 * tick), (PlayPlace {0, 1}));
}

// ---- One row at a time ----

TEST_F(LivePlayTest, PlayingOneRowSoundsWhatReadingItInTheSongWould)
{
    setInstrument(2, InstrumentSettings().wave(4).pwm(12).env(3).amtSwp(0x2F).arpSpeed(2).arpFirst(4).arpSecond(7));
    song.positions[1] = 5;
    put(7, 1, U'e', U'9', U'2', U'1', 5);
    put(7, 2, U'y', U'8', U'1', U'2', 5);
    put(7, 3, U'<', U'8', U'0', U'2', 5);
    put(7, 4, U'q', U'0', U'1', U'3', 5);
    startPlaying();

    // What the song's own read of the row gives, tick by tick.
    auto sourcesOverTicks = [this](const std::function<void()>& firstTick) {
        std::vector<float> seen;
        for (int tick = 0; tick < 6; ++tick) {
            tick == 0 ? firstTick() : player.tickVoices();
            for (int channel = 1; channel <= 8; ++channel)
                seen.insert(seen.end(), {pitch(channel), gain(channel), static_cast<float>(state(channel)),
                                         static_cast<float>(waveform(channel))});
        }
        return seen;
    };
    c_kovoPlay fresh = player;
    player.goTo({1, 7});
    std::vector<float> read = sourcesOverTicks([this] { player.tickPlayer(); });
    for (int channel = 1; channel <= 8; ++channel) haltChannel(channel);

    player = fresh;
    std::vector<float> one = sourcesOverTicks([this] { ASSERT_TRUE(player.playOneRow({1, 7})); });
    EXPECT_EQ(one, read);
    // The song did not move on.
    EXPECT_EQ(player.upcomingPlace(), (PlayPlace {0, 0}));
    EXPECT_EQ(player.ticksIntoRow(), 0.0f);
    EXPECT_TRUE(player.timeline().empty());
}

TEST_F(LivePlayTest, OneRowSoundsAtItsPitchAndRowsOutsideTheSongSoundNothing)
{
    put(4, 1, U'q', U'8', U'1', U'2');
    startPlaying();
    EXPECT_FALSE(player.playOneRow({0, 32}));
    EXPECT_FALSE(player.playOneRow({-1, 4}));
    EXPECT_FALSE(player.playOneRow({positionCount, 4}));
    EXPECT_NE(state(1), AL_PLAYING);

    ASSERT_TRUE(player.playOneRow({0, 4}));
    std::vector<float> mix;
    for (int i = 0; i < 25; ++i) {
        std::vector<float> part = loopback.render(framesPerTick);
        mix.insert(mix.end(), part.begin(), part.end());
        player.tickVoices();
    }
    EXPECT_NEAR(frequencyOf(slice(mix, framesPerTick, mix.size())), highNote, 5.2);
}
