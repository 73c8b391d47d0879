#include "tests/support/child_process.h"

#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                           const std::string& input)
    : program_(argv.empty() ? std::string() : argv[0])
{
    char pattern[] = "/tmp/kovo-child-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    directory_ = pattern;
    std::string inputPath = directory_ + "/stdin";
    std::ofstream(inputPath) << input;
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        setpgid(0, 0);
        int in = open(inputPath.c_str(), O_RDONLY);
        int out = open((directory_ + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open((directory_ + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess()
{
    if (!ended_ && pid_ > 0) {
        // A program may only report its leaks when it ends by itself.
        ::kill(-pid_, SIGTERM);
        ::kill(pid_, SIGTERM);
        if (!waitExit(30)) {
            ADD_FAILURE() << program_ << " ignored SIGTERM for 30 s";
            ::kill(-pid_, SIGKILL);
            ::kill(pid_, SIGKILL);
            reap(true);
        }
    }
    expectNoSanitizerReport();
    std::string command = "rm -rf '" + directory_ + "'";
    [[maybe_unused]] int ignored = std::system(command.c_str());
}

bool ChildProcess::reap(bool block)
{
    if (ended_) return true;
    int raw = 0;
    pid_t got = waitpid(pid_, &raw, block ? 0 : WNOHANG);
    if (got != pid_) return false;
    ended_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1000 - WTERMSIG(raw);
    return true;
}

bool ChildProcess::running() { return !reap(false); }

bool ChildProcess::waitExit(double timeoutSeconds)
{
    return waitFor([this] { return reap(false); }, timeoutSeconds);
}

void ChildProcess::kill(int signal)
{
    if (!ended_) ::kill(pid_, signal);
}

std::string ChildProcess::standardOutput() const { return readFileBytes(directory_ + "/stdout"); }
std::string ChildProcess::standardError() const { return readFileBytes(directory_ + "/stderr"); }

std::string ChildProcess::sanitizerReport() const
{
    static const char* const marks[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"};
    std::istringstream lines(standardError());
    for (std::string line; std::getline(lines, line);)
        for (const char* mark : marks)
            if (line.find(mark) != std::string::npos) return line;
    return std::string();
}

void ChildProcess::expectNoSanitizerReport() const
{
    std::string report = sanitizerReport();
    if (!report.empty()) ADD_FAILURE() << program_ << " reported: " << report << "\n" << standardError();
}

std::string binaryDirectory()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string exe(path, static_cast<size_t>(length));
    return exe.substr(0, exe.rfind('/'));
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

long long modificationTime(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}

bool replacementLeftBehind(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + "~";
    bool found = false;
    if (DIR* listing = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(listing)) found = found || std::string(entry->d_name).rfind(prefix, 0) == 0;
        closedir(listing);
    }
    return found;
}
