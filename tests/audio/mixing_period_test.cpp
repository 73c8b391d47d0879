// The settings file's audio_period line as the device takes it.
#include "audio/mixing_period.h"

#include <gtest/gtest.h>

TEST(MixingPeriod, ASettingIsHeldToTheRangeAndAnythingElseGivesTheDefault)
{
    EXPECT_EQ(mixingPeriodOf(std::nullopt), defaultMixingPeriod);
    EXPECT_EQ(mixingPeriodOf(std::string("512")), 512);
    EXPECT_EQ(mixingPeriodOf(std::string("1")), shortestMixingPeriod);
    EXPECT_EQ(mixingPeriodOf(std::string("-5")), shortestMixingPeriod);
    EXPECT_EQ(mixingPeriodOf(std::string("99999999999999999999")), longestMixingPeriod);
    for (const char* unreadable : {"", "fast", "256 frames", "0x100"})
        EXPECT_EQ(mixingPeriodOf(std::string(unreadable)), defaultMixingPeriod) << unreadable;
    EXPECT_EQ(mixingPeriodOf(std::string("openal")), std::nullopt);
    EXPECT_EQ(mixingPeriodConfig(256), "[general]\nperiod_size = 256\nperiods = 3\n");
}
