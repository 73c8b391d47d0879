#include "base/file_replace.h"

#include "base/text.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file a replacement writes: a link's target rather than the link, and
// the mode of the file it replaces (nothing for a new file).
struct Target {
    std::string path;
    std::optional<mode_t> mode;
};

std::optional<std::string> linkTarget(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

// Where the bytes for path go; nothing when the file there may not be
// replaced: a folder, a device, a FIFO, a dangling link, or a file the user
// made read-only (replacing it would need only the folder's permission).
std::optional<Target> findTarget(const std::string& path)
{
    struct stat entry {};
    if (lstat(path.c_str(), &entry) != 0) {
        if (errno == ENOENT) return Target {path, std::nullopt};
        return std::nullopt;
    }
    std::optional<std::string> target = S_ISLNK(entry.st_mode) ? linkTarget(path) : path;
    struct stat file {};
    if (!target || stat(target->c_str(), &file) != 0 || !S_ISREG(file.st_mode)) return std::nullopt;
    if (faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return std::nullopt;
    return Target {*target, file.st_mode & 07777};
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Writes all the bytes to a new file; false when any of them did not make it.
bool writeNewFile(const std::string& path, std::string_view bytes, std::optional<mode_t> mode, Durability durability)
{
    // A leftover of an earlier attempt, or a link planted under this name,
    // must not be written through: the file is created afresh.
    unlink(path.c_str());
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // Set while the file is open for writing, so that even a read-only mode
    // takes effect and the sync covers it.
    bool written = (!mode || fchmod(fd, *mode) == 0) && writeAll(fd, bytes) &&
                   (durability == Durability::cached || fsync(fd) == 0);
    return close(fd) == 0 && written;
}

} // namespace

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool syncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // Some file systems cannot sync a folder at all; the rename stands there.
    bool synced = fsync(fd) == 0 || errno == EINVAL;
    close(fd);
    return synced;
}

std::string replacementTemporary(const std::string& path)
{
    return path + "~" + std::to_string(getpid()) + narrow(replacementSuffix);
}

bool replacementOwnerGone(const std::string& fileName)
{
    const std::string suffix = narrow(replacementSuffix);
    if (fileName.size() < suffix.size() || fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    std::string rest = fileName.substr(0, fileName.size() - suffix.size());
    size_t mark = rest.rfind('~');
    std::string id = mark == std::string::npos ? std::string() : rest.substr(mark + 1);
    bool numbered = !id.empty() && id.size() < 10 && id.find_first_not_of("0123456789") == std::string::npos;
    if (!numbered) return true;
    // EPERM: a process of another user holds the id, and may be its owner.
    return kill(static_cast<pid_t>(std::stol(id)), 0) != 0 && errno == ESRCH;
}

bool replaceFile(const std::string& path, std::string_view bytes, Durability durability)
{
    if (path.empty()) return false;
    std::optional<Target> target = findTarget(path);
    if (!target) return false;
    std::string temporary = replacementTemporary(target->path);
    if (writeNewFile(temporary, bytes, target->mode, durability) &&
        std::rename(temporary.c_str(), target->path.c_str()) == 0)
        return durability == Durability::cached || syncFolder(folderOf(target->path));
    std::remove(temporary.c_str());
    return false;
}
