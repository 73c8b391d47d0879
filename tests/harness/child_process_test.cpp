#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// Programs read the first of two entries of one name: only the last one given may reach them.
TEST(ChildProcess, EnvironmentEntriesReplaceInheritedOnesAndEarlierOnes)
{
    setenv("KOVO_HARNESS_NAME", "inherited", 1);
    ChildProcess child({"env"}, {"KOVO_HARNESS_NAME=first", "KOVO_HARNESS_OTHER=kept", "KOVO_HARNESS_NAME=last"});
    unsetenv("KOVO_HARNESS_NAME");
    ASSERT_TRUE(child.waitExit(30));
    std::istringstream lines(child.standardOutput());
    std::vector<std::string> ours;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("KOVO_HARNESS_", 0) == 0) ours.push_back(line);
    EXPECT_EQ(ours, (std::vector<std::string> {"KOVO_HARNESS_OTHER=kept", "KOVO_HARNESS_NAME=last"}));
}

TEST(ChildProcess, TakesItsInputAndLeadsAProcessGroupOfItsOwn)
{
    // Field 5 of /proc/PID/stat is the process group; the shell's child
    // inherits the shell's.
    ChildProcess child({"sh", "-c", "cat; cut -d' ' -f5 /proc/self/stat"}, {}, "typed\n");
    ASSERT_TRUE(child.waitExit(30));
    EXPECT_EQ(child.standardOutput(), "typed\n" + std::to_string(child.pid()) + "\n");
}

TEST(ChildProcess, AProgramThatCannotStartEndsAtOnceWith127AndSaysWhy)
{
    ChildProcess child({"/nonexistent/kovo-harness-program"});
    ASSERT_TRUE(child.waitExit(1));
    EXPECT_EQ(child.exitStatus(), 127);
    EXPECT_NE(child.standardError().find("/nonexistent/kovo-harness-program"), std::string::npos);
}
