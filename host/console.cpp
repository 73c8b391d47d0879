#include "host/console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* debugPosition = nullptr;

void printLine(const String& text)
{
    std::string bytes = encodeUtf8(text);
    bytes += '\n';
    std::fputs(bytes.c_str(), stdout);
    std::fflush(stdout);
}

void raiseError(const String& message)
{
    if (message.empty()) std::exit(0);
    failWith(narrow(message).c_str());
}

namespace {

// Answers lines from standard input until one leaves the prompt; returns when
// the report is to be repeated ("e", "l", "r", "s"), ends the process otherwise.
void debugPrompt()
{
    std::fprintf(stderr, "{{~~%s~~}}\n", debugPosition ? debugPosition : "(null)");
    std::fputs("\n", stderr);
    std::fflush(stderr);
    for (;;) {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) std::exit(-1);
        size_t length = std::strlen(line);
        if (length == 0 || line[length - 1] != '\n') std::exit(-1);
        line[length - 1] = '\0';
        switch (line[0]) {
        case '?':
            continue;
        case '@':
            // Describes without touching the address: a typed number is never
            // dereferenced.
            std::fputs(std::strtoull(line + 1, nullptr, 16) ? "+Object\n" : "\n", stderr);
            std::fflush(stderr);
            continue;
        case 'e': case 'l': case 'r': case 's':
            return;
        case 'q':
            std::exit(0);
        default:
            std::printf("????? %s ?????", line);
            std::fflush(stdout);
            std::exit(-1);
        }
    }
}

} // namespace

void failWith(const char* message)
{
    for (;;) {
        printLine(U"Quorvane Runtime Error : " + widen(message));
        printLine(debugPosition && *debugPosition ? widen(debugPosition) + U"\n" : String());
        debugPrompt();
    }
}

void reportUncaughtError(const ThrowableObject&)
{
    printLine(U"Quorvane Runtime Error : Uncaught Quorvane Exception");
    std::exit(-1);
}

const char* signalMessage(int signal)
{
    switch (signal) {
    case SIGSEGV: return "Memory access violation";
    case SIGILL: return "Illegal instruction";
    case SIGFPE: return "Floating point exception";
    case SIGBUS: return "Bus error";
    default: return "Unknown signal";
    }
}

namespace {
void onCrashSignal(int signal) { failWith(signalMessage(signal)); }
} // namespace

void installCrashHandlers()
{
    for (int signal : {SIGSEGV, SIGILL, SIGFPE, SIGBUS}) {
        struct sigaction action {};
        action.sa_handler = onCrashSignal;
        // A second fault inside the report falls back to the default action.
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}
