#include "tests/support/child_process.h"
#include "tests/support/wait.h"
#include "tests/support/x_window.h"
#include "tests/support/xvfb.h"

#include <gtest/gtest.h>

#include <csignal>
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
std::vector<HookCall> runProbe(const std::string& mode, int renders)
{
    ensureXvfb();
    ChildProcess probe({binaryDirectory() + "/loop_probe", mode}, {"ALSOFT_DRIVERS=null"});
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

TEST(MainLoop, UpdatesRunFiftyTimesASecondWithRendersBetween)
{
    std::vector<HookCall> calls = runProbe("count", 300);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().hook, 'C');
    std::vector<double> updates;
    for (const HookCall& call : calls)
        if (call.hook == 'U') updates.push_back(call.time);
    ASSERT_GT(updates.size(), 200u);
    // The most updates any two seconds hold, well after start-up. An update
    // never runs before its time, so a faster schedule shows in every window;
    // a busy machine can only delay (or, past the catch-up, drop) updates, so
    // the best window is the one the machine left alone.
    size_t most = 0;
    for (size_t first = 10; first < updates.size(); ++first) {
        size_t end = first;
        while (end < updates.size() && updates[end] < updates[first] + 2.0) ++end;
        if (end == updates.size()) break;
        most = std::max(most, end - first);
    }
    // 100, plus the catch-up updates a late window start can add.
    EXPECT_GE(most, 96u);
    EXPECT_LE(most, 105u);
    for (int batch : updatesAfterRenders(calls, 10, 50)) EXPECT_LE(batch, 4);
}

TEST(MainLoop, AStallGivesFourCatchUpUpdatesThenAFreshSchedule)
{
    std::vector<HookCall> calls = runProbe("stall", 60);
    // Render 30 stalls for a second: four updates follow it, then the backlog
    // is dropped, the next frame runs one update at once, and the pace is back.
    std::vector<int> batches = updatesAfterRenders(calls, 30, 4);
    ASSERT_EQ(batches.size(), 4u);
    EXPECT_EQ(batches[0], 4);
    EXPECT_EQ(batches[1], 1);
    EXPECT_LE(batches[2], 1);
}

TEST(MainLoop, SettingTheRateInsideAnUpdateEndsTheBatch)
{
    std::vector<HookCall> calls = runProbe("stall-rate", 60);
    std::vector<int> batches = updatesAfterRenders(calls, 30, 3);
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[0], 1);
    EXPECT_EQ(batches[1], 1);
}
