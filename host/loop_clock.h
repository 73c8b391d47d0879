// The clock the main loop paces its update steps by: the real one in the
// program, one that a test drives in the tests of the pacing.
#pragma once

class LoopClock {
public:
    virtual ~LoopClock() = default;
    // Seconds since a fixed moment; never goes back.
    virtual double now() = 0;
    // Waits for the seconds to pass.
    virtual void sleep(double seconds) = 0;
};
