#include "host/console.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

const char* debugPosition = nullptr;

void printLine(const String& text)
{
    std::string bytes = encodeUtf8(text);
    bytes += '\n';
    std::fputs(bytes.c_str(), stdout);
    std::fflush(stdout);
}

void endProcess(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

void raiseError(const String& message)
{
    if (message.empty()) endProcess(0);
    failWith(narrow(message).c_str());
}

// ---- The report and the debug prompt ----
// Written with write() and read() and no allocation, because the crash handler
// runs them too: a signal can land inside malloc or inside a stdio call that
// holds its lock.

namespace {

// Output errors are ignored: a closed or full pipe just loses the text.
void writeBytes(int fd, const char* bytes, size_t count)
{
    while (count > 0) {
        ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
}

void writeText(int fd, const char* text) { writeBytes(fd, text, std::strlen(text)); }

// Each byte as one character in UTF-8, as printLine writes a narrowed message.
void writeBytesAsUtf8(int fd, const char* text)
{
    char encoded[128];
    size_t used = 0;
    for (const char* c = text; *c; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x80) {
            encoded[used++] = static_cast<char>(byte);
        } else {
            encoded[used++] = static_cast<char>(0xC0 | byte >> 6);
            encoded[used++] = static_cast<char>(0x80 | (byte & 0x3F));
        }
        if (used + 2 > sizeof encoded) {
            writeBytes(fd, encoded, used);
            used = 0;
        }
    }
    writeBytes(fd, encoded, used);
}

void writeReport(const char* message)
{
    writeText(STDOUT_FILENO, "Quorvane Runtime Error : ");
    writeBytesAsUtf8(STDOUT_FILENO, message);
    writeText(STDOUT_FILENO, "\n");
    // The debug trace: the source position when one is set, otherwise nothing.
    if (debugPosition && *debugPosition) {
        writeBytesAsUtf8(STDOUT_FILENO, debugPosition);
        writeText(STDOUT_FILENO, "\n");
    }
    writeText(STDOUT_FILENO, "\n");
}

// Reads one line of at most 255 characters; false at the end of input or
// for a line that does not end in a newline.
bool readPromptLine(char (&line)[256])
{
    size_t length = 0;
    while (length < sizeof line - 1) {
        char c = 0;
        ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        if (c == '\n') {
            line[length] = '\0';
            return true;
        }
        line[length++] = c;
    }
    return false;
}

// Answers lines from standard input until one leaves the prompt; returns when
// the report is to be repeated ("e", "l", "r", "s"), ends the process otherwise.
void debugPrompt()
{
    writeText(STDERR_FILENO, "{{~~");
    writeText(STDERR_FILENO, debugPosition ? debugPosition : "(null)");
    writeText(STDERR_FILENO, "~~}}\n\n");
    for (;;) {
        char line[256];
        if (!readPromptLine(line)) _exit(-1);
        switch (line[0]) {
        case '?':
            continue;
        case '@':
            // Describes without touching the address: a typed number is never
            // dereferenced.
            writeText(STDERR_FILENO, std::strtoull(line + 1, nullptr, 16) ? "+Object\n" : "\n");
            continue;
        case 'e': case 'l': case 'r': case 's':
            return;
        case 'q':
            _exit(0);
        default:
            writeText(STDOUT_FILENO, "????? ");
            writeText(STDOUT_FILENO, line);
            writeText(STDOUT_FILENO, " ?????");
            _exit(-1);
        }
    }
}

[[noreturn]] void reportAndPrompt(const char* message)
{
    for (;;) {
        writeReport(message);
        debugPrompt();
    }
}

} // namespace

void failWith(const char* message)
{
    // What the program printed through stdio comes first.
    std::fflush(stdout);
    std::fflush(stderr);
    reportAndPrompt(message);
}

void reportUncaughtError(const ThrowableObject&)
{
    printLine(U"Quorvane Runtime Error : Uncaught Quorvane Exception");
    endProcess(-1);
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
// Reports without stdio and without allocating; see reportAndPrompt.
void onCrashSignal(int signal) { reportAndPrompt(signalMessage(signal)); }
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
