#include "tests/support/child_process.h"

#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The environment of this process with the entries ("NAME=value") put in
// order, each replacing any earlier one of the same name.
std::vector<std::string> environmentWith(const std::vector<std::string>& entries)
{
    std::vector<std::string> result;
    for (char** inherited = environ; *inherited; ++inherited) result.emplace_back(*inherited);
    for (const std::string& entry : entries) {
        size_t equals = entry.find('=');
        if (equals == std::string::npos) continue;
        size_t name = equals + 1;
        auto same = [&](const std::string& earlier) { return earlier.compare(0, name, entry, 0, name) == 0; };
        result.erase(std::remove_if(result.begin(), result.end(), same), result.end());
        result.push_back(entry);
    }
    return result;
}

std::vector<char*> pointers(const std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (const std::string& text : strings) result.push_back(const_cast<char*>(text.c_str()));
    result.push_back(nullptr);
    return result;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                           const std::string& input)
    : program_(argv.empty() ? std::string() : argv[0])
{
    char pattern[] = "/tmp/kovo-child-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    directory_ = pattern;
    std::string inputPath = directory_ + "/stdin";
    std::ofstream(inputPath) << input;
    // Spawned, not forked: a test program under the sanitizers maps a great
    // deal, and starting hundreds of programs by copying that map is slow.
    // The child leads a process group of its own, so that ending the test
    // ends whatever it started.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, inputPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, (directory_ + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, (directory_ + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<std::string> fullEnvironment = environmentWith(environment);
    std::vector<char*> args = pointers(argv);
    std::vector<char*> envp = pointers(fullEnvironment);
    pid_t pid = -1;
    int failed = posix_spawnp(&pid, args[0], &files, &attributes, args.data(), envp.data());
    pid_ = failed == 0 ? pid : -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    // A program that cannot be started ends at once with 127, as a shell's does.
    if (failed != 0) {
        ended_ = true;
        status_ = 127;
        std::ofstream(directory_ + "/stderr") << program_ << ": " << std::strerror(failed) << "\n";
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
    removeTree(directory_);
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

std::string programDirectory()
{
    if (const char* other = std::getenv("KOVO_PROGRAM_DIR"); other && *other) return other;
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string exe(path, static_cast<size_t>(length));
    return exe.substr(0, exe.rfind('/'));
}

std::string readFileBytes(const std::string& path) { return readFileBytesFrom(path, 0); }

std::string readFileBytesFrom(const std::string& path, long long offset)
{
    // Read in blocks into one string: tests poll growing captures and long
    // songs, and a stream copy regrows its buffer many times per read.
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    if (offset == 0 || fseeko(file, offset, SEEK_SET) == 0) {
        constexpr size_t block = 1 << 16;
        for (size_t got = block; got == block;) {
            size_t size = bytes.size();
            bytes.resize(size + block);
            got = std::fread(bytes.data() + size, 1, block, file);
            bytes.resize(size + got);
        }
    }
    std::fclose(file);
    return bytes;
}

long long modificationTime(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}

void removeTree(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

long long fileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
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
