// The player on a real device in a process of its own: a device that rests
// while nothing sounds stops its clock, and no device keeps none.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

namespace {

std::string probeOutput(const std::string& environment)
{
    ChildProcess probe({programDirectory() + "/player_probe"}, {environment});
    EXPECT_TRUE(probe.waitExit(60));
    EXPECT_EQ(probe.exitStatus(), 0);
    return probe.standardOutput();
}

} // namespace

// Rows read while the device rested cannot be told apart by its clock: only
// the rows from the first that sounds on are stamped, and a key placed now
// lands on the last of them.
TEST(PlayerProcess, OnlyRowsReadWhileTheDeviceRunsAreStamped)
{
    EXPECT_EQ(probeOutput("ALSOFT_DRIVERS=null"), "stamped: 4 5 6\nheard: 0 6\n");
}

TEST(PlayerProcess, WithoutADeviceNothingIsStampedAndAKeyLandsOnTheSoundingRow)
{
    EXPECT_EQ(probeOutput("ALSOFT_DRIVERS=no-such-backend"),
              "OpenAl error: alcOpenDevice failed\nstamped:\nheard: 0 6\n");
}
