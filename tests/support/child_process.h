// A program started by a test, with its output captured in files and its
// end awaited with a deadline. A sanitizer's report on its standard error
// fails the test that started it, however the program ended; one still
// running when the test ends is asked to end with SIGTERM first.
#pragma once

#include <string>
#include <vector>

class ChildProcess {
public:
    // Starts argv[0] with the extra environment entries ("NAME=value"); the
    // text is fed to its standard input, which then ends.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                 const std::string& input = std::string());
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // True once the process has ended within the timeout.
    bool waitExit(double timeoutSeconds);
    bool running();
    // The shell's view of the exit status (255 for -1), or -1000 - signal.
    int exitStatus() const
    {
        statusSeen_ = ended_;
        return status_;
    }
    // Whether the test has asked for the status since the program ended.
    bool statusSeen() const { return statusSeen_; }
    int pid() const { return pid_; }
    void kill(int signal);

    std::string standardOutput() const;
    std::string standardError() const;
    // The first line of an AddressSanitizer, LeakSanitizer or
    // UndefinedBehaviorSanitizer report on the standard error; "" when there is none.
    std::string sanitizerReport() const;
    // Fails the running test with the report, if there is one.
    void expectNoSanitizerReport() const;

private:
    bool reap(bool block);

    std::string program_;
    int pid_ = -1;
    int status_ = -1;
    bool ended_ = false;
    mutable bool statusSeen_ = false;
    std::string directory_;
};

// The folder of the program under test: the tracker, its data and the
// helpers it is started with. The test program's own folder, unless
// KOVO_PROGRAM_DIR names another build's (the sanitizer build's tests run
// against the optimised program that way, without building them twice).
std::string programDirectory();

// Removes a file or a folder with all it holds, in this process: tests
// remove a folder for every program they start.
void removeTree(const std::string& path);

// Reads a whole file as bytes; empty when it is missing.
std::string readFileBytes(const std::string& path);
// The bytes from the offset to the end; empty when the file is shorter.
std::string readFileBytesFrom(const std::string& path, long long offset);

// When the file was last written, in nanoseconds; -1 when it is missing.
long long modificationTime(const std::string& path);

// The file's size in bytes; -1 when it is missing.
long long fileSize(const std::string& path);

// Whether a replacement of the file left a temporary beside it
// ("<name>~<pid>~saving", whichever process wrote it).
bool replacementLeftBehind(const std::string& path);
