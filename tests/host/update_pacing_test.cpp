// The main loop's pacing (BBGame::waitForDueUpdate and runDueUpdates, what
// the window's loop runs between frames) on a clock the test drives: frames
// take exactly as long as a test says, so the schedule is checked to the
// update, however busy the machine running the test is.
#include "host/headless_game.h"
#include "host/loop_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class DrivenClock : public LoopClock {
public:
    double now() override { return time; }
    void sleep(double seconds) override { time += seconds; }

    double time = 5.0;
};

class UpdatePacing : public ::testing::Test, public BBGameDelegate {
protected:
    UpdatePacing()
    {
        game.setDelegate(this);
        game.startRun();
        game.setUpdateRate(50);
    }

    void onUpdate() override
    {
        updateTimes.push_back(clock.time);
        batches.back() += 1;
        if (duringUpdate) duringUpdate();
    }

    // Frames as the main loop runs them: the render (which takes the clock
    // forward by what renderSeconds says for frame 1, 2, ...), the wait for
    // the next update, the updates due. batches[f - 1] counts the updates
    // that follow render f.
    void runFrames(int count, const std::function<double(int)>& renderSeconds)
    {
        for (int frame = 1; frame <= count; ++frame) {
            batches.push_back(0);
            clock.time += renderSeconds(frame);
            game.waitForDueUpdate(clock);
            game.runDueUpdates(clock);
        }
    }

    // Render 30 takes a second; the others a millisecond.
    static double stallAtThirty(int frame) { return frame == 30 ? 1.0 : 0.001; }

    DrivenClock clock;
    BBHeadlessGame game;
    std::vector<double> updateTimes;
    std::vector<int> batches;
    std::function<void()> duringUpdate;
};

} // namespace

TEST_F(UpdatePacing, UpdatesRunFiftyTimesASecondWithRendersBetween)
{
    runFrames(300, [](int) { return 0.001; });
    ASSERT_EQ(updateTimes.size(), 300u);
    for (int batch : batches) EXPECT_EQ(batch, 1);
    // Every two seconds hold exactly 100 updates, 20 ms apart.
    for (size_t i = 1; i < updateTimes.size(); ++i) EXPECT_NEAR(updateTimes[i] - updateTimes[i - 1], 0.02, 1e-9) << i;
}

TEST_F(UpdatePacing, FramesSlowerThanTheRateCatchUpAndKeepFiftyUpdatesASecond)
{
    // Frames of 30 ms: one or two updates after each, 50 a second in all.
    runFrames(200, [](int) { return 0.03; });
    for (int batch : batches) {
        EXPECT_GE(batch, 1);
        EXPECT_LE(batch, 2);
    }
    for (size_t first = 0; first + 100 < updateTimes.size(); first += 25)
        EXPECT_NEAR(updateTimes[first + 100] - updateTimes[first], 2.0, 0.031) << first;
    // Frames of 90 ms are more than four updates long: never more than four
    // after one, and the backlog is dropped rather than run later.
    batches.clear();
    runFrames(30, [](int) { return 0.09; });
    int total = 0;
    for (int batch : batches) {
        EXPECT_GE(batch, 1);
        EXPECT_LE(batch, 4);
        total += batch;
    }
    EXPECT_LT(total, 30 * 0.09 / 0.02);
}

TEST_F(UpdatePacing, AStallGivesFourCatchUpUpdatesThenAFreshSchedule)
{
    runFrames(40, stallAtThirty);
    // Four updates follow the stalled render, then the backlog is dropped:
    // the next frame runs one update at once, and the pace is back.
    EXPECT_EQ(std::vector<int>(batches.begin() + 29, batches.begin() + 34), (std::vector<int> {4, 1, 1, 1, 1}));
    size_t firstFresh = 29 + 4;  // updates before render 30, then its four
    for (size_t i = firstFresh + 1; i < updateTimes.size(); ++i)
        EXPECT_NEAR(updateTimes[i] - updateTimes[i - 1], 0.02, 1e-9) << i;
    // The fresh schedule starts at the first frame after the stall, not before it.
    EXPECT_NEAR(updateTimes[firstFresh], updateTimes[firstFresh - 1] + 0.001, 1e-9);
}

TEST_F(UpdatePacing, SettingTheRateInsideAnUpdateEndsTheBatch)
{
    bool stalled = false;
    duringUpdate = [&] {
        if (stalled) game.setUpdateRate(50);
        stalled = false;
    };
    runFrames(29, stallAtThirty);
    stalled = true;
    runFrames(3, [](int frame) { return frame == 1 ? 1.0 : 0.001; });
    EXPECT_EQ(std::vector<int>(batches.begin() + 29, batches.end()), (std::vector<int> {1, 1, 1}));
}

TEST_F(UpdatePacing, WithoutARateEachFrameRunsOneUpdateWithoutWaiting)
{
    game.setUpdateRate(0);
    double start = clock.time;
    runFrames(5, [](int) { return 0.001; });
    EXPECT_EQ(batches, (std::vector<int> {1, 1, 1, 1, 1}));
    EXPECT_NEAR(clock.time - start, 0.005, 1e-9);
}
