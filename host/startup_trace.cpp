#include "host/startup_trace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

bool asked = false;
std::FILE* traceFile = nullptr;
double mainSeconds = 0;

double bootClockSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// How long the process ran before main (loading its libraries), from the
// start time the kernel keeps in clock ticks; -1 when it cannot be read.
double secondsBeforeMain()
{
    std::FILE* file = std::fopen("/proc/self/stat", "r");
    if (!file) return -1;
    char line[1024] = {};
    size_t length = std::fread(line, 1, sizeof line - 1, file);
    std::fclose(file);
    line[length] = 0;
    // The fields count from the name's closing parenthesis; the name may hold spaces.
    const char* fields = nullptr;
    for (const char* p = line; *p; ++p)
        if (*p == ')') fields = p + 1;
    unsigned long long ticks = 0;
    if (!fields || std::sscanf(fields, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %*u %*u %llu",
                               &ticks) != 1)
        return -1;
    return bootClockSeconds() - double(ticks) / double(sysconf(_SC_CLK_TCK));
}

} // namespace

void traceStartup(const char* phase)
{
    if (!asked) {
        asked = true;
        mainSeconds = bootClockSeconds();
        const char* path = std::getenv("KOVO_STARTUP_TRACE");
        traceFile = path && *path ? std::fopen(path, "a") : nullptr;
        if (traceFile)
            std::fprintf(traceFile, "%8.1f ms  process start (before main, to the clock tick)\n",
                         -secondsBeforeMain() * 1000);
    }
    if (!traceFile) return;
    std::fprintf(traceFile, "%8.1f ms  %s\n", (bootClockSeconds() - mainSeconds) * 1000, phase);
    std::fflush(traceFile);
}

void startupTraceDone()
{
    traceStartup("start over");
    if (traceFile) std::fclose(traceFile);
    traceFile = nullptr;
}
