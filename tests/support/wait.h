// Waiting on a condition with a deadline, for tests that watch a real
// program: never a bare sleep.
#pragma once

#include <functional>

// Polls the condition every 10 ms, or, for a condition that takes longer to
// check (a screenshot read), after four times its own time: a watching test
// leaves most of the machine to the program it watches, and four tests that
// wait side by side take less than a core between them. True once it holds,
// false when the timeout passes first.
bool waitFor(const std::function<bool()>& condition, double timeoutSeconds);

// Seconds on a monotonic clock.
double monotonicSeconds();
