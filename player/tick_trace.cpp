#include "player/tick_trace.h"

#include "audio/audio_device.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// Opened at the first use, for the rest of the process; every line is
// flushed at once, so that a test reads it while the program runs.
std::FILE* traceFile()
{
    static std::FILE* const file = [] {
        const char* path = std::getenv("KOVO_TICK_TRACE");
        return path && *path ? std::fopen(path, "a") : nullptr;
    }();
    return file;
}

// Players may tick on several threads (an export renders songs side by side).
std::atomic<int> playersTraced {0};

long long framesOf(const gxtkAudio* device) { return device ? device->mixedFrames() : -1; }

} // namespace

void TickTrace::tickBegins(const gxtkAudio* device)
{
    if (!traceFile()) return;
    if (player_ == 0) player_ = ++playersTraced;
    framesBefore_ = framesOf(device);
}

void TickTrace::tickEnds(const gxtkAudio* device)
{
    std::FILE* file = traceFile();
    if (!file) return;
    std::fprintf(file, "%d %lld %lld %lld\n", player_, tick_++, framesBefore_, framesOf(device));
    std::fflush(file);
}
