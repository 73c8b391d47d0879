// The window's scale on the command line: a whole number from 1 to 4.
#include "app/keys/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandLine parsed(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "kovo-tracker");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(ScaleOption, TakesAWholeNumberFromOneToFourInEitherSpelling)
{
    EXPECT_EQ(parsed({}).windowScale, 0);
    EXPECT_EQ(parsed({"--scale", "2"}).windowScale, 2);
    EXPECT_EQ(parsed({"--scale=3"}).windowScale, 3);
    EXPECT_EQ(parsed({"--scale", "4", "song.dat"}).windowScale, 4);
    EXPECT_EQ(parsed({"--scale", "4", "song.dat"}).songPath, "song.dat");
    for (auto wrong : {std::vector<std::string> {"--scale"}, {"--scale", "0"}, {"--scale", "5"}, {"--scale", "x"},
                       {"--scale", "2x"}, {"--scale", "-1"}, {"--scale="}, {"--scale", "2", "--scale", "9"}}) {
        CommandLine line = parsed(wrong);
        EXPECT_EQ(line.action, CommandLine::badUsage) << wrong.back();
        EXPECT_NE(line.error.find("--scale"), std::string::npos) << wrong.back();
    }
}
