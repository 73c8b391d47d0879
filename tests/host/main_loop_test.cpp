#include "tests/support/child_process.h"
#include "tests/support/wait.h"
#include "tests/support/x_window.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct HookCall {
    char hook;
    double time;
};

std::vector<HookCall> hookCalls(const ChildProcess& probe)
{
    std::vector<HookCall> calls;
    std::istringstream lines(probe.standardOutput());
    HookCall call;
    while (lines >> call.hook >> call.time) calls.push_back(call);
    return calls;
}

// Updates that follow each of `count` renders, starting with render `from`
// (renders numbered from 1).
std::vector<int> updatesAfterRenders(const std::vector<HookCall>& calls, int from, int count)
{
    std::vector<int> batches(static_cast<size_t>(count), 0);
    int renders = 0;
    for (const HookCall& call : calls) {
        renders += call.hook == 'R';
        int batch = renders - from;
        if (call.hook == 'U' && batch >= 0 && batch < count) batches[static_cast<size_t>(batch)] += 1;
    }
    return batches;
}

// Runs the probe until it has rendered enough frames, then closes its window.
std::vector<HookCall> runProbe(int renders)
{
    ensureXvfb();
    ChildProcess probe({programDirectory() + "/loop_probe", "count"}, {"ALSOFT_DRIVERS=null"});
    auto renderCount = [&] {
        int count = 0;
        for (const HookCall& call : hookCalls(probe)) count += call.hook == 'R';
        return count;
    };
    EXPECT_TRUE(waitFor([&] { return renderCount() >= renders; }, 60));
    XConnection x;
    unsigned long window = 0;
    EXPECT_TRUE(waitFor([&] { return (window = x.findWindow("Kovo Tracker v1.705")) != 0; }, 10));
    x.requestClose(window);
    EXPECT_TRUE(probe.waitExit(30));
    EXPECT_EQ(probe.exitStatus(), 0);
    return hookCalls(probe);
}

} // namespace

// The real loop with a window: create first, then renders with update steps
// between them, never more than four after one render, and the close button
// ends it with status 0. How the steps are paced is tested on a driven clock
// (update_pacing_test.cpp).
TEST(MainLoop, UpdatesRunBetweenRendersAfterCreate)
{
    std::vector<HookCall> calls = runProbe(300);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().hook, 'C');
    std::vector<double> updates;
    for (const HookCall& call : calls)
        if (call.hook == 'U') updates.push_back(call.time);
    ASSERT_GT(updates.size(), 200u);
    // The clock the hooks saw never goes back.
    for (size_t i = 1; i < calls.size(); ++i) EXPECT_GE(calls[i].time, calls[i - 1].time) << i;
    for (int batch : updatesAfterRenders(calls, 10, 50)) EXPECT_LE(batch, 4);
}
