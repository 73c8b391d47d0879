// Real X key, mouse and wheel events reach the input device through the
// window callbacks and the key translation.
#include "tests/support/child_process.h"
#include "tests/support/wait.h"
#include "tests/support/x_window.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

namespace {

class InputEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureXvfb();
        x = std::make_unique<XConnection>();
        probe = std::make_unique<ChildProcess>(std::vector<std::string> {programDirectory() + "/loop_probe", "input"},
                                               std::vector<std::string> {"ALSOFT_DRIVERS=null"});
        ASSERT_TRUE(waitFor([&] { return (window = x->findWindow("Kovo Tracker v1.705")) != 0; }, 30));
    }

    void TearDown() override
    {
        if (window) x->requestClose(window);
        if (probe) probe->waitExit(30);
    }

    // Sends events with xdotool, then waits until the probe reports the line.
    bool sendAndSee(const std::vector<std::string>& events, const std::string& line)
    {
        std::vector<std::string> argv {"xdotool"};
        argv.insert(argv.end(), events.begin(), events.end());
        ChildProcess tool(argv);
        tool.waitExit(30);
        return waitFor([&] { return probe->standardOutput().find(line) != std::string::npos; }, 10);
    }

    std::string output() const { return probe->standardOutput(); }

    std::unique_ptr<XConnection> x;
    unsigned long window = 0;
    std::unique_ptr<ChildProcess> probe;
};

} // namespace

TEST_F(InputEvents, KeysArriveAsPressesAndTheirCharacters)
{
    WindowGeometry at = x->geometry(window);
    std::string mx = std::to_string(at.x + 100), my = std::to_string(at.y + 100);
    ASSERT_TRUE(sendAndSee({"mousemove", mx, my}, ""));
    // Keypad Enter and Alt produce nothing; then a letter, Left, Delete and F1.
    ASSERT_TRUE(sendAndSee({"key", "--delay", "60", "KP_Enter", "Alt_L", "a", "Left", "Delete", "F1"}, "H 112 1"));
    std::string seen = output();
    EXPECT_EQ(seen.find("H 13 "), std::string::npos);
    EXPECT_EQ(seen.find("T 13\n"), std::string::npos);
    for (const char* line : {"H 65 1\n", "T 97\n", "H 37 1\n", "T 65573\n", "H 46 1\n", "T 127\n"})
        EXPECT_NE(seen.find(line), std::string::npos) << line << " in\n" << seen;
    // Shift with a letter: the press of Shift and the upper-case character.
    ASSERT_TRUE(sendAndSee({"key", "shift+b"}, "T 66\n"));
    EXPECT_NE(output().find("H 16 1"), std::string::npos);
}

TEST_F(InputEvents, ClicksMirrorTheFirstTouchAndTheWheelIsSeenOnce)
{
    WindowGeometry at = x->geometry(window);
    std::string mx = std::to_string(at.x + 50), my = std::to_string(at.y + 60);
    ASSERT_TRUE(sendAndSee({"mousemove", mx, my, "sleep", "0.1", "click", "1"}, "H 384 1"));
    EXPECT_NE(output().find("H 1 1\nH 384 1\n"), std::string::npos) << output();
    ASSERT_TRUE(sendAndSee({"click", "3"}, "H 2 1"));
    ASSERT_TRUE(sendAndSee({"click", "4"}, "W 1\n"));
    ASSERT_TRUE(sendAndSee({"click", "5"}, "W -1\n"));
}

// A key wakes the loop before the next update is due, with its character
// waiting there, and that update still takes the character. A key can come
// while an update is due already and go straight to it; at 5 updates a
// second, of a few keys at least one comes while the loop waits.
TEST(InputWake, AKeyWakesTheLoopAheadOfTheUpdateThatTakesIt)
{
    ensureXvfb();
    XConnection x;
    ChildProcess probe({programDirectory() + "/loop_probe", "wake"}, {"ALSOFT_DRIVERS=null"});
    unsigned long window = 0;
    ASSERT_TRUE(waitFor([&] { return (window = x.findWindow("Kovo Tracker v1.705")) != 0; }, 30));
    ChildProcess({"xdotool", "key", "--delay", "300", "a", "a", "a", "a", "a"}).waitExit(30);
    auto seen = [&] { return probe.standardOutput(); };
    auto wokenThenTaken = [&] {
        std::string lines = seen();
        size_t woken = lines.find("A 1\n");
        return woken != std::string::npos && lines.find("T 97\n", woken) != std::string::npos;
    };
    EXPECT_TRUE(waitFor(wokenThenTaken, 10)) << seen();
    x.requestClose(window);
    probe.waitExit(30);
}
