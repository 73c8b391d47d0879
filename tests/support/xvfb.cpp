#include "tests/support/xvfb.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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
    if (process.pid > 0) return process.display;
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        // The server ends with the test program even when that program ends
        // with _exit (as the program's runtime errors do) and runs no destructor.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
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
    return process.display;
}
