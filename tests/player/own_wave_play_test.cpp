// The song's own waves: WAV 8..F plays the wave in its slot with a silent
// second oscillator, and the player makes a sound only for a wave it has
// not got yet, so editing one wave leaves every other channel alone.
#include "tests/player/player_fixture.h"

#include <cmath>

namespace {

OwnWave sineWave(int harmonic)
{
    OwnWave wave {};
    for (int i = 0; i < ownWaveFrames; ++i)
        wave[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(20000 * std::sin(2 * M_PI * harmonic * i / 64)));
    return wave;
}

class OwnWavePlay : public PlayerTest {
protected:
    // Instrument 2 plays WAV 9, the song's second own wave.
    void SetUp() override
    {
        PlayerTest::SetUp();
        song.ownWaves[1] = sineWave(1);
        setInstrument(2, InstrumentSettings().wave(9));
    }
    unsigned ownBuffer(size_t slot) { return player.ownWaveSounds()[slot]->sample->buffer; }
    unsigned buffer(int audioChannel) { return static_cast<unsigned>(loopback.sourceInt(audioChannel, AL_BUFFER)); }
};

} // namespace

TEST_F(OwnWavePlay, AnOwnWaveIsThePrimaryWithASilentSecondAndAnEmptySlotChangesNothing)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(1, 1, U'y', U'8', U'2', U'2');
    setInstrument(3, InstrumentSettings().wave(10));  // slot 3 holds nothing
    put(2, 1, U'y', U'8', U'3', U'2');
    startPlaying();
    ASSERT_TRUE(player.ownWaveSounds()[1]);
    EXPECT_FALSE(player.ownWaveSounds()[2]);
    playRow();
    EXPECT_EQ(waveform(1), waveformPairOf(1)->primary);
    playRow();
    EXPECT_EQ(buffer(1), ownBuffer(1));
    EXPECT_EQ(waveform(5), waveSilence);
    EXPECT_FLOAT_EQ(pitch(1), 1.0f);  // the stock waves' pitch for the same note
    playRow();
    EXPECT_EQ(buffer(1), ownBuffer(1));
    EXPECT_EQ(waveform(5), waveSilence);
}

// Only the changed wave becomes a new sound; channel 2 plays on from where
// it was, and a follow without a change makes nothing.
TEST_F(OwnWavePlay, FollowingUploadsOnlyAChangedWave)
{
    song.ownWaves[4] = sineWave(3);
    put(0, 1, U'y', U'8', U'2', U'2');
    put(0, 2, U'y', U'8', U'1', U'2');
    startPlaying();
    playRow();
    auto kept = player.ownWaveSounds()[4];
    auto before = player.ownWaveSounds()[1];
    unsigned otherBuffer = buffer(2);
    player.follow(song);
    EXPECT_EQ(player.ownWaveSounds()[1], before);

    song.ownWaves[1] = sineWave(2);
    player.follow(song);
    EXPECT_NE(player.ownWaveSounds()[1], before);
    EXPECT_EQ(player.ownWaveSounds()[4], kept);
    EXPECT_EQ(buffer(2), otherBuffer);
    EXPECT_EQ(state(2), AL_PLAYING);

    // The next note of the instrument plays the new wave; a removed wave is gone.
    put(1, 1, U'y', U'8', U'2', U'2');
    song.ownWaves[4].reset();
    player.follow(song);
    playRow();
    EXPECT_EQ(buffer(1), ownBuffer(1));
    EXPECT_FALSE(player.ownWaveSounds()[4]);

    // A song played anew keeps the sounds of waves it shares.
    auto current = player.ownWaveSounds()[1];
    player.play(song);
    EXPECT_EQ(player.ownWaveSounds()[1], current);
}
