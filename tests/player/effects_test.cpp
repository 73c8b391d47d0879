// The per-tick instrument effects as the audio channels receive them:
// envelope, arpeggio and its repeat, pulse-width sweep, slides, envelope to
// pitch.
#include "tests/player/player_fixture.h"

#include <cmath>

namespace {

// The rate of a note so many semitones above the waveform's own pitch.
float semitones(double offset) { return static_cast<float>(std::pow(2.0, offset / 12.0)); }

} // namespace

class EffectsTest : public PlayerTest {
protected:
    // One note on channel 1 at the waveform's own pitch with instrument 1.
    void playNote(const InstrumentSettings& settings, char32_t volume = U'8')
    {
        setInstrument(1, settings);
        put(0, 1, U'y', volume, U'1', U'2');
        startPlaying();
        playRow();
    }

    // A source parameter of an audio channel after the row's tick and each
    // of the ticks after it.
    std::vector<float> trace(int audioChannel, int parameter, int ticks)
    {
        std::vector<float> values {loopback.sourceFloat(audioChannel, parameter)};
        for (int i = 1; i < ticks; ++i) {
            player.tickPlayer();
            values.push_back(loopback.sourceFloat(audioChannel, parameter));
        }
        return values;
    }
};

TEST_F(EffectsTest, TheEnvelopeFallsAnEighthEveryEnvTicks)
{
    song.speed = 16;
    playNote(InstrumentSettings().env(2), U'8');
    std::vector<float> gains = trace(1, AL_GAIN, 17);
    EXPECT_FLOAT_EQ(gains[0], 1.0f - 0.0625f);
    EXPECT_FLOAT_EQ(gains[7], 0.5f);
    EXPECT_EQ(gains[15], 0.0f);  // digit 8 fades out completely...
    EXPECT_EQ(gains[16], 0.0f);
    EXPECT_EQ(gain(5), 0.0f);
}

TEST_F(EffectsTest, LoudDigitsSettleAtTheirLevelLessOne)
{
    // ...while digits 9..F stop falling once the phase reaches 1.
    song.speed = 16;
    setInstrument(1, InstrumentSettings().env(1));
    const char32_t digits[] = U"9ABCDEF";
    for (int i = 0; i < 7; ++i) put(i, 1, U'y', digits[i], U'1', U'2');
    startPlaying();
    for (int digit = 9; digit <= 15; ++digit) {
        playRow();
        for (int i = 0; i < 12; ++i) player.tickPlayer();
        EXPECT_FLOAT_EQ(gain(1), digit * 0.125f - 1.0f) << "digit " << digit;
        EXPECT_FLOAT_EQ(gain(5), gain(1));
    }
}

TEST_F(EffectsTest, AnEnvelopeSpeedOfZeroSilencesAtOnce)
{
    playNote(InstrumentSettings().env(0), U'F');
    EXPECT_EQ(gain(1), 0.0f);
    EXPECT_EQ(gain(5), 0.0f);
    // The volume is gone too: the next row without a digit starts nothing.
    EXPECT_EQ(player.voice(0).volume, 0.0f);
}

TEST_F(EffectsTest, TheArpeggioStepsThroughBaseFirstAndSecondOffset)
{
    playNote(InstrumentSettings().amtSwp(15).arpSpeed(2).arpFirst(4).arpSecond(7));
    std::vector<float> rates = trace(1, AL_PITCH, 12);
    const int offsets[] = {0, 0, 4, 4, 7, 7, 0, 0, 4, 4, 7, 7};
    for (size_t i = 0; i < rates.size(); ++i) EXPECT_NEAR(rates[i], semitones(offsets[i]), 1e-5) << "tick " << i;
}

TEST_F(EffectsTest, WithRepeatTheArpeggioRunsOnce)
{
    song.speed = 16;
    playNote(InstrumentSettings().e2pRpt(16).amtSwp(15).arpSpeed(2).arpFirst(4).arpSecond(7));
    std::vector<float> rates = trace(1, AL_PITCH, 14);
    const int offsets[] = {0, 0, 4, 4, 7, 7, 0, 0, 0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < rates.size(); ++i) EXPECT_NEAR(rates[i], semitones(offsets[i]), 1e-5) << "tick " << i;
}

TEST_F(EffectsTest, AtSpeedZeroTheSecondOffsetHoldsScaledByTheAmount)
{
    playNote(InstrumentSettings().amtSwp(8).arpSpeed(0).arpFirst(12).arpSecond(4));
    for (float rate : trace(1, AL_PITCH, 6)) EXPECT_NEAR(rate, semitones(8 * 4 / 15.0), 1e-5);
}

TEST_F(EffectsTest, TheSweepTurnsTheSecondOscillatorsDetuneEveryHalfPeriod)
{
    playNote(InstrumentSettings().pwm(8).amtSwp(2 * 16));
    std::vector<float> primary, secondary;
    for (int i = 0; i < 12; ++i) {
        primary.push_back(pitch(1));
        secondary.push_back(pitch(5));
        player.tickPlayer();
    }
    const int directions[] = {1, 1, 1, -1, -1, -1, 1, 1, 1, -1, -1, -1};
    for (size_t i = 0; i < primary.size(); ++i) {
        EXPECT_FLOAT_EQ(primary[i], 1.0f) << "tick " << i;
        EXPECT_NEAR(secondary[i] - primary[i], directions[i] * 0.01f, 1e-6) << "tick " << i;
    }
}

TEST_F(EffectsTest, WithoutASweepTheSecondOscillatorStaysAbove)
{
    playNote(InstrumentSettings().pwm(15));
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(pitch(5) - pitch(1), 15 / 800.0f, 1e-6);
        player.tickPlayer();
    }
}

TEST_F(EffectsTest, SlidesRunThroughTheirRowAndLastUntilTheNextNote)
{
    put(0, 1, U'y', U'8', U'1', U'2');
    put(1, 1, U'+');
    put(3, 1, U'#', U'F');
    put(4, 1, U'y');
    startPlaying();
    playRows(2);
    EXPECT_NEAR(pitch(1), 1.0f - 0.04f, 1e-6);
    playRow();
    EXPECT_NEAR(pitch(1), 1.0f - 4 * 0.04f, 1e-6);  // held through the empty row
    EXPECT_EQ(pitch(5), pitch(1));
    // The speed follows the channel's volume: digit F slides faster.
    playRow();
    EXPECT_NEAR(pitch(1), 1.0f - 0.16f + 0.075f, 1e-6);
    playRow();
    EXPECT_FLOAT_EQ(pitch(1), 1.0f);
}

TEST_F(EffectsTest, EnvelopeToPitchPullsTheRateDownUntilTheVoiceFallsSilent)
{
    playNote(InstrumentSettings().e2pRpt(4).env(1), U'F');
    EXPECT_FLOAT_EQ(pitch(1), 1.0f - 4 * 0.125f);
    EXPECT_FLOAT_EQ(gain(1), 1.75f);
    // A rate pulled to 0 and below is silence, not a frozen waveform.
    player.tickPlayer();
    EXPECT_EQ(gain(1), 0.0f);
    player.tickPlayer();
    EXPECT_EQ(gain(1), 0.0f);
    EXPECT_FLOAT_EQ(pitch(1), 0.5f);
}
