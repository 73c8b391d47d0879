// The device clock on the loopback device: it counts exactly the sound mixed.
#include "tests/audio/audio_fixture.h"

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
