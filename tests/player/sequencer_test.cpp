// The player's rows: what starts and stops the oscillators, which waveforms
// they get, and how rows and positions move on.
#include "tests/player/player_fixture.h"

#include "song/waveform_table.h"
#include "tests/support/signal_analysis.h"

#include <algorithm>

TEST_F(PlayerTest, TheFirstRowIsReadWhenTheTickCountReachesTheSpeed)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    startPlaying();
    for (int i = 0; i < 4; ++i) player.tickPlayer();
    EXPECT_EQ(player.upcomingPlace().row, 0);
    EXPECT_NE(state(1), AL_PLAYING);
    player.tickPlayer();
    EXPECT_EQ(player.upcomingPlace().row, 1);
    EXPECT_EQ(player.ticksIntoRow(), 1.0f);
    EXPECT_EQ(state(1), AL_PLAYING);
    EXPECT_EQ(state(5), AL_PLAYING);
    EXPECT_EQ(loopback.sourceInt(1, AL_LOOPING), AL_TRUE);
}

TEST_F(PlayerTest, NotesPlayAtTheirRatesInSinglePrecision)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(0, 2, U'q', U'8', U'1', U'2');
    put(0, 3, U'y', U'8', U'1', U'0');
    put(0, 4, U'q', U'8', U'1', U'0');
    startPlaying();
    playRow();
    const float expected[] = {1.0f, 2.0000012f, 0.2499997f, 0.4999997f};
    for (int channel = 1; channel <= 4; ++channel) {
        EXPECT_NEAR(pitch(channel), expected[channel - 1], 1e-7) << "channel " << channel;
        EXPECT_EQ(pitch(channel + 4), pitch(channel)) << "channel " << channel + 4;
    }
    // The semitone ratio is the single-precision one: octaves come out sharp.
    EXPECT_NE(pitch(2), 2.0f);
}

TEST_F(PlayerTest, EachWaveSettingPicksItsPairOfWaveforms)
{
    // Instrument n plays WAV n, on row n - 1; the one after the table a WAV
    // beyond it.
    auto digit = [](int n) { return static_cast<char32_t>(n < 10 ? U'0' + n : U'A' + n - 10); };
    const int outside = highestWave + 1;
    for (int wave = 1; wave <= outside; ++wave) {
        setInstrument(wave, InstrumentSettings().wave(wave == outside ? outside + 1 : wave));
        put(wave - 1, 1, U'y', U'8', digit(wave), U'2');
    }
    startPlaying();
    for (int wave = 1; wave <= outside; ++wave) {
        playRow();
        // A WAV outside the table keeps the pair of the row before.
        const WaveformPair& pair = *waveformPairOf(std::min(wave, highestWave));
        EXPECT_EQ(waveform(1), pair.primary) << "WAV " << wave;
        EXPECT_EQ(waveform(5), pair.secondary) << "WAV " << wave;
    }
    EXPECT_EQ(waveformPairOf(0), nullptr);
    EXPECT_EQ(waveformPairOf(outside), nullptr);
}

TEST_F(PlayerTest, NoteOffStopsBothOscillatorsAndStartsNothing)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(1, 1, U'<');
    put(2, 1, U'<', U'8');
    startPlaying();
    playRow();
    playRow();
    EXPECT_EQ(state(1), AL_STOPPED);
    EXPECT_EQ(state(5), AL_STOPPED);
    // A volume digit on "<" does not start the oscillators either.
    playRow();
    EXPECT_EQ(state(1), AL_STOPPED);
    EXPECT_EQ(state(5), AL_STOPPED);
}

TEST_F(PlayerTest, ANoteWithoutVolumeChangesPitchWithoutRestarting)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(1, 1, U'q');
    put(2, 1, U'y', U'8');
    startPlaying();
    playRow();
    loopback.render(4800);
    int before = offset(1);
    ASSERT_GT(before, 1000);
    playRow();
    EXPECT_NEAR(pitch(1), 2.0000012f, 1e-7);
    EXPECT_GE(offset(1), before);
    EXPECT_EQ(state(1), AL_PLAYING);

    playRow();
    EXPECT_LT(offset(1), 100);
}

TEST_F(PlayerTest, AnInstrumentDigitWithoutANoteSwitchesWaveformsAndLatchesOctave)
{
    setInstrument(1, InstrumentSettings().wave(1));
    setInstrument(2, InstrumentSettings().wave(4));
    put(0, 1, U'y', U'8', U'1', U'2');
    put(1, 1, U'.', U'0', U'2', U'3');
    put(2, 1, U'y', U'8');
    startPlaying();
    playRow();
    loopback.render(4800);
    int before = offset(1);
    playRow();
    EXPECT_GE(offset(1), before);       // nothing restarted:
    EXPECT_EQ(waveform(1), waveRampB);  // the running sound goes on...
    playRow();
    EXPECT_EQ(waveform(1), waveTriangle);  // ...the next start takes the new pair
    EXPECT_FLOAT_EQ(pitch(1), 2.0000012f);   // at the octave latched with instrument 2
}

TEST_F(PlayerTest, MutingTakesEffectAtTheChannelsNextVolumeDigit)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(2, 1, U'.', U'8');
    put(0, 2, U'y', U'8', U'1', U'2');
    startPlaying();
    player.useChannelLevels({1.0f, 0.0f, 1.0f, 1.0f});
    playRow();
    // A muted channel has no volume, so it starts no note.
    EXPECT_EQ(gain(2), 0.0f);
    EXPECT_NE(state(2), AL_PLAYING);

    player.useChannelLevels({0.0f, 0.0f, 1.0f, 1.0f});
    playRow();
    EXPECT_GT(gain(1), 0.9f);
    playRow();
    EXPECT_EQ(gain(1), 0.0f);
    EXPECT_EQ(gain(5), 0.0f);
}

TEST_F(PlayerTest, APatternEndMarkMovesToTheNextPositionAfterItsRow)
{
    song.songLengthRows = 4 * rowsPerPattern;
    song.positions = {3, 1, 2, 0};
    put(2, 2, U'-', U'0', U'0', U'0', 3);
    put(5, 4, U'-', U'0', U'0', U'0', 1);
    put(0, 1, U'-', U'0', U'0', U'0', 2);
    put(0, 4, U'-', U'0', U'0', U'0', 2);
    startPlaying();
    playRows(3);
    EXPECT_EQ(player.upcomingPlace().position, 1);
    EXPECT_EQ(player.upcomingPlace().row, 0);
    playRows(6);
    EXPECT_EQ(player.upcomingPlace().position, 2);
    playRow();
    EXPECT_EQ(player.upcomingPlace().position, 3);
    EXPECT_EQ(player.upcomingPlace().row, 0);
    player.tickPlayer();
    EXPECT_EQ(player.song().positions[player.upcomingPlace().position] * rowsPerPattern, 0);
}

TEST_F(PlayerTest, PlaybackWrapsAtTheSongLengthOnlyByEquality)
{
    song.songLengthRows = 2 * rowsPerPattern;
    song.positions[1] = 7;
    startPlaying();
    playRows(32);
    EXPECT_EQ(player.upcomingPlace().position, 1);
    player.tickPlayer();
    EXPECT_EQ(player.song().positions[player.upcomingPlace().position] * rowsPerPattern, 7 * rowsPerPattern);
    playRows(32);
    EXPECT_EQ(player.upcomingPlace().position, 0);

    // Started beyond the length it plays on, and wraps after position 255.
    player.goTo({5, 31});
    playRow();
    EXPECT_EQ(player.upcomingPlace().position, 6);
    player.goTo({positionCount - 1, 31});
    playRow();
    EXPECT_EQ(player.upcomingPlace().position, 0);
    EXPECT_EQ(player.upcomingPlace().row, 0);
}

TEST_F(PlayerTest, APlayerWithoutASongTicksInSilence)
{
    for (int i = 0; i < 40; ++i) player.tickPlayer();
    EXPECT_EQ(player.upcomingPlace().row, 9);  // rows of blank cells still pass
    for (int channel = 1; channel <= 8; ++channel) {
        EXPECT_EQ(gain(channel), 0.0f);
        EXPECT_NE(state(channel), AL_PLAYING);
    }
    EXPECT_EQ(rms(loopback.render(4800)), 0.0);
}
