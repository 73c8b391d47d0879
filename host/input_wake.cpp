#include "host/input_wake.h"

#include <atomic>

namespace {
std::atomic<void (*)()> installedWake {nullptr};
} // namespace

void setInputWake(void (*wake)()) { installedWake.store(wake); }

void wakeForInput()
{
    if (void (*wake)() = installedWake.load()) wake();
}
