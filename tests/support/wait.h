// Waiting on a condition with a deadline, for tests that watch a real
// program: never a bare sleep.
#pragma once

#include <functional>

// Polls the condition every few milliseconds; true once it holds, false when
// the timeout passes first.
bool waitFor(const std::function<bool()>& condition, double timeoutSeconds);

// Seconds on a monotonic clock.
double monotonicSeconds();
