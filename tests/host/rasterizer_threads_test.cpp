#include "host/rasterizer_threads.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

std::optional<std::string> threadsSetting()
{
    const char* value = std::getenv("LP_NUM_THREADS");
    return value ? std::optional<std::string>(value) : std::nullopt;
}

} // namespace

// The choice holds while the window is made and is gone afterwards, so that a
// program the tracker starts (a browser for a link) draws as it would anyway;
// a number the user set is theirs, during and after.
TEST(RasterizerThreadChoice, AsksForNoThreadsOnlyWhileItLivesAndKeepsTheUsersNumber)
{
    unsetenv("LP_NUM_THREADS");
    {
        RasterizerThreadChoice choice;
        EXPECT_EQ(threadsSetting(), "0");
    }
    EXPECT_EQ(threadsSetting(), std::nullopt);

    setenv("LP_NUM_THREADS", "3", 1);
    {
        RasterizerThreadChoice choice;
        EXPECT_EQ(threadsSetting(), "3");
    }
    EXPECT_EQ(threadsSetting(), "3");
    unsetenv("LP_NUM_THREADS");
}
