#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome raise(const std::vector<std::string>& args, const std::string& input)
{
    std::vector<std::string> argv {programDirectory() + "/runtime_error_probe"};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess probe(argv, {}, input);
    EXPECT_TRUE(probe.waitExit(30));
    return {probe.exitStatus(), probe.standardOutput(), probe.standardError()};
}

const std::string report = "Quorvane Runtime Error : Boom\n\n";
const std::string prompt = "{{~~(null)~~}}\n\n";

} // namespace

TEST(RuntimeError, WithoutInputItReportsPromptsAndEndsWith255)
{
    Outcome outcome = raise({"Boom"}, "");
    EXPECT_EQ(outcome.out, report);
    EXPECT_EQ(outcome.err, prompt);
    EXPECT_EQ(outcome.status, 255);
}

TEST(RuntimeError, PromptRepliesQuitRepeatOrComplain)
{
    EXPECT_EQ(raise({"Boom"}, "q\n").status, 0);

    Outcome unknown = raise({"Boom"}, "x\n");
    EXPECT_EQ(unknown.out, report + "????? x ?????");
    EXPECT_EQ(unknown.status, 255);

    Outcome repeated = raise({"Boom"}, "e\n");
    EXPECT_EQ(repeated.out, report + report);
    EXPECT_EQ(repeated.err, prompt + prompt);
    EXPECT_EQ(repeated.status, 255);

    Outcome help = raise({"Boom"}, "?\n@0\n@7fff0000\nq\n");
    EXPECT_EQ(help.err, prompt + "\n+Object\n");
    EXPECT_EQ(help.status, 0);

    // A last line without its newline ends the process like end of input.
    EXPECT_EQ(raise({"Boom"}, "q").status, 255);
}

TEST(RuntimeError, EmptyMessageEndsQuietlyWithStatusZero)
{
    Outcome outcome = raise({""}, "");
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.status, 0);
}

TEST(RuntimeError, CrashSignalsAreReportedWithTheirMessages)
{
    const std::pair<int, const char*> cases[] = {{SIGSEGV, "Memory access violation"},
                                                 {SIGILL, "Illegal instruction"},
                                                 {SIGFPE, "Floating point exception"},
                                                 {SIGBUS, "Bus error"}};
    for (const auto& [signal, message] : cases) {
        Outcome outcome = raise({"--signal", std::to_string(signal)}, "");
        EXPECT_EQ(outcome.out, std::string("Quorvane Runtime Error : ") + message + "\n\n") << signal;
        EXPECT_EQ(outcome.status, 255);
    }
}

TEST(RuntimeError, AnErrorObjectEscapingAnEventEndsWithTheFixedLine)
{
    Outcome outcome = raise({"--uncaught"}, "");
    EXPECT_EQ(outcome.out, "Quorvane Runtime Error : Uncaught Quorvane Exception\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.status, 255);
}
