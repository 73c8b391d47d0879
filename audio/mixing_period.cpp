#include "audio/mixing_period.h"

#include <algorithm>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {
constexpr char configVariable[] = "ALSOFT_CONF";
} // namespace

std::optional<MixingPeriod> mixingPeriodOf(const std::optional<std::string>& setting)
{
    constexpr MixingPeriod standard {defaultMixingPeriod, defaultQueuedPeriods};
    if (!setting) return standard;
    if (*setting == "openal") return std::nullopt;
    char* end = nullptr;
    long frames = std::strtol(setting->c_str(), &end, 10);
    if (setting->empty() || *end != '\0') return standard;
    return MixingPeriod {static_cast<int>(std::clamp<long>(frames, shortestMixingPeriod, longestMixingPeriod)),
                         chosenQueuedPeriods};
}

std::string mixingPeriodConfig(MixingPeriod period)
{
    return "[general]\nperiod_size = " + std::to_string(period.frames) + "\nperiods = " + std::to_string(period.queued) +
           "\n";
}

// The configuration lives in memory only (a memfd that OpenAL Soft reads
// through /proc), and the variable goes again once the device is open, so
// that no program started later inherits a name that means nothing to it.
MixingPeriodConfig::MixingPeriodConfig(std::optional<MixingPeriod> period)
{
    if (!period || std::getenv(configVariable)) return;
    fd_ = memfd_create("kovo-alsoft-conf", MFD_CLOEXEC);
    if (fd_ < 0) return;
    std::string text = mixingPeriodConfig(*period);
    if (write(fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return;
    setenv(configVariable, ("/proc/self/fd/" + std::to_string(fd_)).c_str(), 1);
}

MixingPeriodConfig::~MixingPeriodConfig()
{
    if (fd_ < 0) return;
    unsetenv(configVariable);
    close(fd_);
}
