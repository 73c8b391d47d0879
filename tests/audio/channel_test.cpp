// Channels of the audio device as a listener hears them: starts, restarts,
// pauses, parameters and the end of one-shot samples.
#include "tests/audio/audio_fixture.h"
#include "tests/support/signal_analysis.h"

#include <al.h>

#include <cmath>

namespace {

// A sample value as the 16-bit data holds it, on the float scale of the mix.
float level(int value) { return static_cast<float>(value) / 32768.0f; }

} // namespace

TEST_F(AudioTest, StartingAgainRestartsFromTheFirstFrameKeepingGainAndPitch)
{
    auto rising = loadSample("rising.wav", ramp(30000, 1));
    ASSERT_TRUE(rising);
    ASSERT_EQ(audio().startSample(rising, 2, looped), 0);
    std::vector<float> first = loopback.render(6000);
    EXPECT_NEAR(first[300], level(300), level(20));
    EXPECT_NEAR(first[5999], level(5999), level(20));

    audio().setChannelGain(2, 0.5f);
    audio().setChannelPitch(2, 1.0f);
    ASSERT_EQ(audio().startSample(rising, 2, looped), 0);
    std::vector<float> again = loopback.render(400);
    EXPECT_NEAR(again[300], 0.5f * level(300), level(20));
    EXPECT_FLOAT_EQ(loopback.sourceFloat(2, AL_GAIN), 0.5f);
    EXPECT_EQ(loopback.sourceInt(2, AL_LOOPING), AL_TRUE);
    EXPECT_EQ(audio().channelStatus(2), 1);
}

TEST_F(AudioTest, ParametersSetBeforeAnyStartApplyToTheFirstStart)
{
    // Halting a channel that never played makes no source and changes nothing.
    audio().haltChannel(4);
    EXPECT_EQ(audio().sourceOf(4), 0u);
    EXPECT_EQ(audio().channelStatus(4), 0);

    audio().setChannelGain(3, 0.25f);
    EXPECT_NE(audio().sourceOf(3), 0u);
    audio().setChannelPitch(3, 0.5f);
    audio().setChannelAngle(3, static_cast<float>(M_PI / 2));
    auto saw = loadSample("saw.wav", sawCycle(64), 16744);
    ASSERT_EQ(audio().startSample(saw, 3, looped), 0);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(3, AL_GAIN), 0.25f);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(3, AL_PITCH), 0.5f);
    ALfloat position[3] = {};
    alGetSourcefv(audio().sourceOf(3), AL_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], 1.0f);
    EXPECT_NEAR(position[2], 0.0f, 1e-6);

    // A 64-frame cycle at 16744 Hz sounds 261.6 Hz; half the rate, half of that.
    std::vector<float> sound = slice(loopback.renderSeconds(1.1), 4800, 52800);
    Peak peak = strongestFrequency(sound, LoopbackAudio::sampleRate, 60, 1000);
    EXPECT_NEAR(peak.frequency, 16744.0 / 128, 0.2);
    // A full-scale saw has an RMS of 1/sqrt(3); the gain scales it.
    EXPECT_NEAR(rms(sound), 0.25 / std::sqrt(3.0), 0.01);
}

TEST_F(AudioTest, PitchFactorsScaleTheToneAndNonPositiveOnesSilence)
{
    auto saw = loadSample("saw.wav", sawCycle(64), 16744);
    ASSERT_EQ(audio().startSample(saw, 1, looped), 0);
    for (float factor : {1.0f, 2.0f}) {
        audio().setChannelPitch(1, factor);
        std::vector<float> sound = slice(loopback.renderSeconds(1.1), 4800, 52800);
        EXPECT_NEAR(strongestFrequency(sound, LoopbackAudio::sampleRate, 100, 1000).frequency,
                    factor * 16744.0 / 64, 0.3)
            << "factor " << factor;
    }

    // Slid to a standstill or beyond: silence, not a frozen offset; the old
    // rate and the gain asked for meanwhile come back with a positive factor.
    audio().setChannelGain(1, 0.75f);
    for (float factor : {0.0f, -0.25f, std::nanf("")}) {
        audio().setChannelPitch(1, factor);
        EXPECT_FLOAT_EQ(loopback.sourceFloat(1, AL_GAIN), 0.0f) << factor;
        EXPECT_FLOAT_EQ(loopback.sourceFloat(1, AL_PITCH), 2.0f) << factor;
        loopback.render(2000);
        EXPECT_EQ(rms(loopback.render(4800)), 0.0) << factor;
    }
    audio().setChannelGain(1, 0.5f);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(1, AL_GAIN), 0.0f);
    audio().setChannelPitch(1, 1.5f);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(1, AL_GAIN), 0.5f);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(1, AL_PITCH), 1.5f);
    EXPECT_GT(rms(loopback.render(4800)), 0.2);
}

TEST_F(AudioTest, AOneShotSampleThatEndedReadsAsStopped)
{
    auto shortSound = loadSample("short.wav", sawCycle(480));
    ASSERT_EQ(audio().startSample(shortSound, 5, once), 0);
    EXPECT_EQ(loopback.sourceInt(5, AL_LOOPING), AL_FALSE);
    EXPECT_EQ(audio().channelStatus(5), 1);
    loopback.render(2000);
    EXPECT_EQ(audio().channelStatus(5), 0);
    EXPECT_EQ(audio().channelStatus(5), 0);

    // Holding one that ended stops it instead of pausing it.
    ASSERT_EQ(audio().startSample(shortSound, 6, once), 0);
    loopback.render(2000);
    audio().holdChannel(6);
    EXPECT_EQ(audio().channelStatus(6), 0);
    audio().continueChannel(6);
    EXPECT_EQ(loopback.sourceInt(6, AL_SOURCE_STATE), AL_STOPPED);
}

TEST_F(AudioTest, HoldAndContinueAreLeftAloneByPauseAndResumeOfAll)
{
    auto saw = loadSample("saw.wav", sawCycle(64), 16744);
    ASSERT_EQ(audio().startSample(saw, 1, looped), 0);
    ASSERT_EQ(audio().startSample(saw, 2, looped), 0);
    audio().holdChannel(2);
    EXPECT_EQ(audio().channelStatus(2), 2);
    EXPECT_EQ(loopback.sourceInt(2, AL_SOURCE_STATE), AL_PAUSED);

    audio().pauseAllChannels();
    EXPECT_EQ(loopback.sourceInt(1, AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(audio().channelStatus(1), 1);
    EXPECT_EQ(rms(loopback.render(4800)), 0.0);

    audio().resumeAllChannels();
    EXPECT_EQ(loopback.sourceInt(1, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(loopback.sourceInt(2, AL_SOURCE_STATE), AL_PAUSED);

    audio().continueChannel(2);
    EXPECT_EQ(audio().channelStatus(2), 1);
    EXPECT_EQ(loopback.sourceInt(2, AL_SOURCE_STATE), AL_PLAYING);

    audio().haltChannel(2);
    EXPECT_EQ(audio().channelStatus(2), 0);
    EXPECT_EQ(loopback.sourceInt(2, AL_SOURCE_STATE), AL_STOPPED);
    // A halted channel keeps its source and its buffer.
    EXPECT_EQ(loopback.sourceInt(2, AL_BUFFER), static_cast<int>(saw->buffer));
}

TEST_F(AudioTest, TheMusicChannelHasItsSourceFromTheStart)
{
    EXPECT_NE(audio().sourceOf(gxtkAudio::musicChannel), 0u);
    EXPECT_EQ(audio().startMusic(widen(folder.path() + "/missing.wav"), looped), -1);
    EXPECT_EQ(audio().musicStatus(), 0);

    WavLayout layout;
    layout.data = pcm16(sawCycle(64));
    String path = widen(folder.write("music.wav", wavBytes(layout)));
    ASSERT_EQ(audio().startMusic(path, looped), 0);
    EXPECT_EQ(audio().musicStatus(), 1);
    audio().setMusicGain(0.5f);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(gxtkAudio::musicChannel, AL_GAIN), 0.5f);
    audio().holdMusic();
    EXPECT_EQ(audio().musicStatus(), 2);
    audio().continueMusic();
    EXPECT_EQ(audio().musicStatus(), 1);
    audio().haltMusic();
    EXPECT_EQ(audio().musicStatus(), 0);
}
