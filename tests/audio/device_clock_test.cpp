// The device clock on the loopback device: it counts exactly the sound
// mixed, and a change made between two mixes is placed in the sound by it
// (the player's tick trace rests on it).
#include "tests/audio/audio_fixture.h"

#include <cmath>

TEST_F(AudioTest, MixedFramesCountEveryRenderedFrameAcrossWholeSeconds)
{
    long long start = audio().mixedFrames();
    ASSERT_GE(start, 0) << "OpenAL Soft without its device clock";
    // The clock counts in nanoseconds, rounded down: 1000 frames at 48 kHz
    // read as 20833333 ns, which must still give 1000 frames back.
    loopback.render(1000);
    EXPECT_EQ(audio().mixedFrames() - start, 1000);
    loopback.render(LoopbackAudio::sampleRate + 7);
    EXPECT_EQ(audio().mixedFrames() - start, 1000 + LoopbackAudio::sampleRate + 7);
}

TEST_F(AudioTest, ASoundStartedBetweenMixesBeginsAtTheMixedFramesCount)
{
    long long opened = audio().mixedFrames();
    ASSERT_GE(opened, 0) << "OpenAL Soft without its device clock";
    auto rising = loadSample("rising.wav", ramp(30000, 1));
    ASSERT_TRUE(rising);
    std::vector<float> sound = loopback.render(777);
    long long startedAt = audio().mixedFrames();
    ASSERT_EQ(audio().startSample(rising, 1, looped), 0);
    std::vector<float> more = loopback.render(2000);
    sound.insert(sound.end(), more.begin(), more.end());
    size_t first = 0;
    while (first < sound.size() && std::fabs(sound[first]) < 1e-6f) ++first;
    // The ramp's first value is 0, its second the first one heard.
    EXPECT_EQ(static_cast<long long>(first), startedAt - opened + 1);
}

TEST_F(AudioTest, TheDeviceClockCountsTheSoundMixed)
{
    std::optional<int64_t> before = audio().mixedTime();
    ASSERT_TRUE(before);
    loopback.render(LoopbackAudio::sampleRate / 10);
    std::optional<DeviceClock> after = audio().deviceClock();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->mixed - *before, 100'000'000);
    EXPECT_EQ(audio().mixedTime(), after->mixed);
    // Nothing lies between a loopback device's mix and its reader.
    EXPECT_EQ(after->latency, 0);
}
