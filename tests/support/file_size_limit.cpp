#include "tests/support/file_size_limit.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int runWithFileSizeLimit(long limitBytes, const std::function<int()>& body)
{
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit {static_cast<rlim_t>(limitBytes), static_cast<rlim_t>(limitBytes)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(120);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
