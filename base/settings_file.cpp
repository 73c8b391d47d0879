#include "base/settings_file.h"

#include "base/file_loading.h"
#include "base/file_replace.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// An environment folder, if it is set and absolute (relative ones are to be ignored).
std::optional<std::string> absoluteFolder(const char* variable)
{
    const char* value = std::getenv(variable);
    if (!value || value[0] != '/') return std::nullopt;
    return std::string(value);
}

bool isLineOfKey(const std::string& line, const std::string& key)
{
    return line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=';
}

// A few lines of settings; far more than that is no settings file.
constexpr size_t settingsFileLimit = 64 * 1024;

// The file's lines, read as any small file is: a FIFO, a device or a huge
// file gives nothing rather than a hang or a flood. Empty for a missing file.
std::optional<std::vector<std::string>> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT) return lines;
    std::FILE* file = openLoadableFile(path, settingsFileLimit);
    if (!file) return std::nullopt;
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, settingsFileLimit);
    std::fclose(file);
    if (!bytes) return std::nullopt;
    std::istringstream text(std::string(bytes->begin(), bytes->end()));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

// Holds the settings folder's lock while it lives, so that two programs
// changing settings at once take turns: each reads the file the other wrote.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {}
    }
    ~FolderLock()
    {
        if (fd_ >= 0) close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

} // namespace

std::string settingsFilePath()
{
    if (auto config = absoluteFolder("XDG_CONFIG_HOME")) return *config + "/kovo-tracker/settings";
    if (auto home = absoluteFolder("HOME")) return *home + "/.config/kovo-tracker/settings";
    return std::string();
}

std::optional<std::string> readSetting(const std::string& path, const std::string& key)
{
    std::optional<std::string> value;
    if (path.empty()) return value;
    for (std::string& line : readLines(path).value_or(std::vector<std::string>())) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (isLineOfKey(line, key)) value = line.substr(key.size() + 1);
    }
    return value;
}

bool writeSetting(const std::string& path, const std::string& key, const std::string& value)
{
    if (path.empty()) return false;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    FolderLock lock(folder);
    // A file that cannot be read is left as it is, not replaced by one key.
    std::optional<std::vector<std::string>> lines = readLines(path);
    if (!lines) return false;
    std::ostringstream text;
    for (const std::string& line : *lines)
        if (!isLineOfKey(line, key)) text << line << '\n';
    text << key << '=' << value << '\n';
    return replaceFile(path, text.str());
}
