#include "tests/support/wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

double monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool waitFor(const std::function<bool()>& condition, double timeoutSeconds)
{
    double deadline = monotonicSeconds() + timeoutSeconds;
    for (;;) {
        double checked = monotonicSeconds();
        if (condition()) return true;
        double now = monotonicSeconds();
        if (now > deadline) return false;
        double pause = std::clamp(4 * (now - checked), 0.01, 0.1);
        std::this_thread::sleep_for(std::chrono::duration<double>(pause));
    }
}
