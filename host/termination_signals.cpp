#include "host/termination_signals.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t pendingSignal = 0;

constexpr int terminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Async-signal-safe: it only records the signal.
extern "C" void noteTerminationSignal(int signal) { pendingSignal = signal; }

} // namespace

void installTerminationHandlers()
{
    struct sigaction action {};
    action.sa_handler = noteTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Restarting keeps blocking calls of the libraries (the event poll, file
    // writes) from failing on the way to the update step.
    action.sa_flags = SA_RESTART;
    for (int signal : terminationSignals) sigaction(signal, &action, nullptr);
}

bool terminationRequested() { return pendingSignal != 0; }

void endByTerminationSignal()
{
    int signal = pendingSignal ? pendingSignal : SIGTERM;
    std::fflush(nullptr);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);  // only reached when the signal is blocked
}
