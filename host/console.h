// Console output and the ways the program ends on an error.
#pragma once

#include "base/text.h"

class ThrowableObject;

// Names the current source position for the debug prompt; nothing sets it.
extern const char* debugPosition;

// Writes the text as UTF-8 plus a newline to standard output and flushes.
void printLine(const String& text);

// Ends the process with the status at once: flushes standard output and error
// and leaves without destructors or exit handlers, so that no teardown of the
// window or the audio device runs, hangs or prints. Every exit goes through it.
[[noreturn]] void endProcess(int status);

// A runtime error: an empty message ends the process with status 0 at once
// (the program's normal way to end itself); any other is reported by failWith.
[[noreturn]] void raiseError(const String& message);

// Prints the report and stops at the debug prompt on the standard streams.
[[noreturn]] void failWith(const char* message);

// The fixed line for an error object nobody caught, then status -1.
[[noreturn]] void reportUncaughtError(const ThrowableObject& error);

// Reports SIGSEGV, SIGILL, SIGFPE and SIGBUS as failWith does, without
// allocating.
void installCrashHandlers();

// The message the crash handler reports for a signal.
const char* signalMessage(int signal);
