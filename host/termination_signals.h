// SIGTERM, SIGINT and SIGHUP as requests to end: the handler only notes the
// signal, and the main loop ends the program at its next update step, after
// the application had its chance to keep its work.
#pragma once

// Installs the handlers for the three signals.
void installTerminationHandlers();

// True once one of the signals arrived.
bool terminationRequested();

// Ends the process by the signal that arrived, with its default action, so
// the parent sees the usual termination.
[[noreturn]] void endByTerminationSignal();
