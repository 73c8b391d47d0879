// Start-up phases with their times, for finding where the time to the first
// picture goes. Silent unless KOVO_STARTUP_TRACE names a file; then each
// phase appends one line to it: milliseconds since main began.
#pragma once

// Notes that a phase of the start has ended; once the start is over
// (startupTraceDone) it does nothing.
void traceStartup(const char* phase);
// Ends the trace: the last phase of the start has passed.
void startupTraceDone();
