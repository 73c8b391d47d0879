// The recovery file kept fresh while the user works: counted in update steps
// (50 a second), so ten seconds of steps run here at once, with no waiting.
#include "tests/app/tracker_fixture.h"

#include "host/key_translation.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"

namespace {

constexpr int stepsInTenSeconds = 500;

class UnsavedWork : public TrackerFixture {
protected:
    std::string kept() const { return readFileBytes(userFiles().dataFolder() + "/unsaved_song.dat"); }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i) step();
    }
};

} // namespace

TEST_F(UnsavedWork, WhileEditingTheFileIsRefreshedAtMostEveryTenSecondsOfSteps)
{
    pressAndStep(keySpace);
    type(U"q");
    step();
    steps(stepsInTenSeconds - 3);
    EXPECT_EQ(kept(), "") << "written before ten seconds had passed";
    step();
    const std::string first = kept();
    ASSERT_NE(first, "") << "not written once ten seconds had passed";

    // A change right after a refresh waits for the next ten seconds.
    type(U"w");
    step();
    steps(stepsInTenSeconds - 2);
    EXPECT_EQ(kept(), first);
    step();
    const std::string second = kept();
    EXPECT_NE(second, first);

    // What a power cut would leave is what a close writes.
    engine->close();
    EXPECT_EQ(kept(), second);
}

TEST_F(UnsavedWork, NothingUnsavedIsNeverWritten)
{
    pressAndStep(keySpace);
    steps(3 * stepsInTenSeconds);
    EXPECT_EQ(kept(), "");
}
