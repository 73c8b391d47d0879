// How the real tracker ends when something goes wrong around it: crash
// signals at any moment of the running loop, and output nobody reads.
#include "tests/support/child_process.h"
#include "tests/support/wait.h"
#include "tests/support/x_window.h"
#include "tests/support/xvfb.h"
#include "tests/support/tracker_process.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const title = "Kovo Tracker v1.705";
std::string tracker() { return programDirectory() + "/kovo-tracker"; }

struct CrashSignal {
    int signal;
    const char* message;
};

constexpr std::array<CrashSignal, 4> crashSignals {{
    {SIGSEGV, "Memory access violation"},
    {SIGILL, "Illegal instruction"},
    {SIGFPE, "Floating point exception"},
    {SIGBUS, "Bus error"},
}};

// Runs the program with standard output a pipe whose reading end is already
// closed, and SIGPIPE at its default, as a shell pipeline to an ended reader
// leaves it. Returns the shell's view of the exit status (128 + a signal).
int statusWritingToAClosedPipe(const std::vector<std::string>& argv)
{
    int fds[2];
    if (pipe(fds) != 0) return -1;
    close(fds[0]);
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        dup2(fds[1], 1);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

// A crash signal landing anywhere in the loop (inside an X or GL call too)
// reports and ends; nothing is torn down that could wait on a lock.
// Twenty runs spread the signals evenly over 40 ms, two frames of the loop
// (render, swap, sleep and event poll): five runs for each signal.
TEST(Exit, TwentyCrashSignalsInARowEachReportAndEndWith255)
{
    ensureXvfb();
    XConnection x;
    constexpr int runs = 20;
    for (int run = 0; run < runs; ++run) {
        const CrashSignal& crash = crashSignals[static_cast<size_t>(run) % crashSignals.size()];
        TrackerCopy copy;
        ChildProcess program({copy.program()}, {"ALSOFT_DRIVERS=null"});
        ASSERT_TRUE(waitFor([&] { return x.findWindow(title) != 0; }, 30)) << "run " << run;
        usleep(static_cast<useconds_t>(run * 997 % 41) * 1000);
        program.kill(crash.signal);
        ASSERT_TRUE(program.waitExit(20)) << "run " << run << " hung after signal " << crash.signal;
        EXPECT_EQ(program.exitStatus(), 255) << "run " << run;
        EXPECT_EQ(program.standardOutput(), std::string("Quorvane Runtime Error : ") + crash.message + "\n\n")
            << "run " << run;
        EXPECT_EQ(program.standardError(), "{{~~(null)~~}}\n\n") << "run " << run;
        // The next run must not find this run's window.
        ASSERT_TRUE(waitFor([&] { return x.findWindow(title) == 0; }, 10));
    }
}

TEST(Exit, AClosedOutputPipeDoesNotEndTheProgramWithSigpipe)
{
    // Without a display the tracker prints its start-up failure and ends with 255.
    EXPECT_EQ(statusWritingToAClosedPipe({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", tracker()}), 255);
}
