// The settings file's audio_period line as the device takes it.
#include "audio/mixing_period.h"

#include <gtest/gtest.h>

// The default queues two periods; a period the user chose keeps three, as
// it always had.
TEST(MixingPeriod, ASettingIsHeldToTheRangeAndAnythingElseGivesTheDefault)
{
    const MixingPeriod standard {defaultMixingPeriod, defaultQueuedPeriods};
    EXPECT_EQ(mixingPeriodOf(std::nullopt), standard);
    EXPECT_EQ(mixingPeriodOf(std::string("512")), (MixingPeriod {512, 3}));
    EXPECT_EQ(mixingPeriodOf(std::string("1")), (MixingPeriod {shortestMixingPeriod, 3}));
    EXPECT_EQ(mixingPeriodOf(std::string("-5")), (MixingPeriod {shortestMixingPeriod, 3}));
    EXPECT_EQ(mixingPeriodOf(std::string("99999999999999999999")), (MixingPeriod {longestMixingPeriod, 3}));
    for (const char* unreadable : {"", "fast", "256 frames", "0x100"})
        EXPECT_EQ(mixingPeriodOf(std::string(unreadable)), standard) << unreadable;
    EXPECT_EQ(mixingPeriodOf(std::string("openal")), std::nullopt);
    EXPECT_EQ(mixingPeriodConfig(standard), "[general]\nperiod_size = 384\nperiods = 2\n");
    // What a note waits for before the speaker stays where it was.
    EXPECT_EQ(standard.frames * standard.queued, 256 * 3);
}
