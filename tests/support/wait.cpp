#include "tests/support/wait.h"

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
        if (condition()) return true;
        if (monotonicSeconds() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
