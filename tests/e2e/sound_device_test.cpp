// The sound device opens after the first picture: without one, the window
// still comes up and the program says so once and carries on.
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

TEST(SoundDevice, WithoutOneTheWindowComesUpAndTheProgramSaysSoOnce)
{
    TrackerProcess tracker({"ALSOFT_DRIVERS=no-such-backend"});
    ASSERT_TRUE(tracker.waitForWindow());
    const std::string line = "OpenAl error: alcOpenDevice failed\n";
    EXPECT_TRUE(waitFor([&] { return tracker.process().standardOutput().find(line) != std::string::npos; }, 30));
    ASSERT_TRUE(tracker.keyEach("space"));  // Editing: the program goes on
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    std::string out = tracker.process().standardOutput();
    EXPECT_EQ(out.find(line), out.rfind(line)) << out;
}
