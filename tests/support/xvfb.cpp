#include "tests/support/xvfb.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char inheritedDisplayVariable[] = "KOVO_TEST_XVFB_DISPLAY";

struct XvfbProcess {
    pid_t pid = -1;
    std::string display;

    ~XvfbProcess()
    {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

XvfbProcess& server()
{
    static XvfbProcess process;
    return process;
}

// Reads the display number Xvfb writes to the pipe once it accepts clients.
std::string readDisplayNumber(int fd)
{
    std::string number;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n') number += c;
    return number;
}

} // namespace

const std::string& ensureXvfb(const std::string& screen)
{
    XvfbProcess& process = server();
    if (process.pid > 0 || !process.display.empty()) return process.display;
    // A test program started by another one (a death test's child) uses the
    // server of the program that started it: it may end by _exit, with no
    // destructor to stop a server of its own.
    if (const char* inherited = std::getenv(inheritedDisplayVariable)) {
        process.display = inherited;
        setenv("DISPLAY", inherited, 1);
        return process.display;
    }
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number = readDisplayNumber(fds[0]);
    close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start (is the xvfb package installed?)");
    process.pid = pid;
    process.display = ":" + number;
    setenv("DISPLAY", process.display.c_str(), 1);
    setenv(inheritedDisplayVariable, process.display.c_str(), 1);
    return process.display;
}
