#include "tests/support/child_process.h"
#include "tests/support/wait.h"
#include "tests/support/x_window.h"
#include "tests/support/xvfb.h"
#include "tests/support/tracker_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {
const char* const title = "Kovo Tracker v1.705";
std::string tracker() { return programDirectory() + "/kovo-tracker"; }
} // namespace

TEST(Window, TrackerOpensACentredFixedWindowAndEndsQuietlyOnClose)
{
    ensureXvfb();
    TrackerCopy copy;
    ChildProcess program({copy.program()}, {"ALSOFT_DRIVERS=null"});
    XConnection x;
    unsigned long window = 0;
    ASSERT_TRUE(waitFor([&] { return (window = x.findWindow(title)) != 0; }, 30));
    WindowGeometry geometry = x.geometry(window);
    EXPECT_EQ(geometry.width, 640);
    EXPECT_EQ(geometry.height, 475);
    // Centred on the 1024 x 768 screen.
    EXPECT_EQ(geometry.x, (1024 - 640) / 2);
    EXPECT_EQ(geometry.y, (768 - 475) / 2);
    // It stays up until asked to close.
    EXPECT_FALSE(program.waitExit(1.0));
    x.requestClose(window);
    ASSERT_TRUE(program.waitExit(30));
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_EQ(program.standardOutput(), "");
    // Not even the audio library's complaint about a device left open.
    EXPECT_EQ(program.standardError(), "");
}

TEST(Window, WithoutADisplayTheTrackerSaysSoAndEndsWith255)
{
    ChildProcess program({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", tracker()});
    ASSERT_TRUE(program.waitExit(30));
    EXPECT_EQ(program.exitStatus(), 255);
    std::string out = program.standardOutput();
    EXPECT_NE(out.find("GLFW Error: err="), std::string::npos) << out;
    EXPECT_NE(out.find("glfwInit failed\n"), std::string::npos) << out;
}

namespace {

// How many of a process's threads are the software GL driver's rasterizers.
int rasterizerThreads(int pid)
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task"))
        if (readFileBytes(task.path().string() + "/comm").rfind("llvmpipe", 0) == 0) ++count;
    return count;
}

} // namespace

// Waking rasterizer threads for each small change of the picture cost more
// than it saved: the tracker draws on its own thread unless the user chose
// a number of threads, which it keeps.
TEST(Window, TrackerDrawsWithoutRasterizerThreadsUnlessTheUserChoseSome)
{
    ensureXvfb();
    unsetenv("LP_NUM_THREADS");
    TrackerCopy copy;
    XConnection x;
    for (bool userChose : {false, true}) {
        std::vector<std::string> environment {"ALSOFT_DRIVERS=null"};
        if (userChose) environment.push_back("LP_NUM_THREADS=2");
        ChildProcess program({copy.program()}, environment);
        unsigned long window = 0;
        ASSERT_TRUE(waitFor([&] { return (window = x.findWindow(title)) != 0; }, 30));
        if (userChose)
            EXPECT_TRUE(waitFor([&] { return rasterizerThreads(program.pid()) == 2; }, 30));
        else
            EXPECT_EQ(rasterizerThreads(program.pid()), 0);
        x.requestClose(window);
        ASSERT_TRUE(program.waitExit(30));
        EXPECT_EQ(program.exitStatus(), 0);
        // The window is gone before the next program's window is looked for.
        ASSERT_TRUE(waitFor([&] { return x.findWindow(title) == 0; }, 30));
    }
}
