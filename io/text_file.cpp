#include "io/text_file.h"

#include "host/game.h"
#include "io/stream.h"
#include "io/stream_errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
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

// Where the text for realPath goes; nothing when the file there may not be
// replaced: a folder, a device, a FIFO, a dangling link, or a file the user
// made read-only (replacing it would need only the folder's permission).
std::optional<Target> findTarget(const std::string& realPath)
{
    struct stat entry {};
    if (lstat(realPath.c_str(), &entry) != 0) {
        if (errno == ENOENT) return Target {realPath, std::nullopt};
        return std::nullopt;
    }
    std::optional<std::string> path = S_ISLNK(entry.st_mode) ? linkTarget(realPath) : realPath;
    struct stat file {};
    if (!path || stat(path->c_str(), &file) != 0 || !S_ISREG(file.st_mode)) return std::nullopt;
    if (faccessat(AT_FDCWD, path->c_str(), W_OK, AT_EACCESS) != 0) return std::nullopt;
    return Target {*path, file.st_mode & 07777};
}

// Writes the whole text to a new file; false when any byte did not make it.
bool writeWholeText(const std::string& path, const String& text, std::optional<mode_t> mode, Durability durability)
{
    // A leftover of an earlier attempt, or a link planted under this name,
    // must not be written through: the stream then creates a new file.
    unlink(path.c_str());
    std::unique_ptr<c_FileStream> stream = c_FileStream::open(widen(path), U"w");
    if (!stream) return false;
    stream->hostStream()->setSyncOnClose(durability == Durability::synced);
    // Set while the file is open for writing, so that even a read-only mode
    // takes effect and the sync on closing covers it.
    if (mode && chmod(path.c_str(), *mode) != 0) {
        stream->close();
        return false;
    }
    try {
        stream->writeText(text);
    } catch (const c_StreamWriteError&) {
        stream->close();
        return false;
    }
    return stream->close();
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Syncing the file does not make its new name durable: on ext4 and others a
// power cut can still lose the rename until the folder is synced too.
bool syncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // Some file systems cannot sync a folder at all; the rename stands there.
    bool synced = fsync(fd) == 0 || errno == EINVAL;
    close(fd);
    return synced;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

bool replaceTextFile(const String& path, const String& text, Durability durability)
{
    BBGame* game = BBGame::game();
    if (!game) return false;
    std::string realPath = narrow(game->resolvePath(path));
    if (realPath.empty()) return false;
    std::optional<Target> target = findTarget(realPath);
    if (!target) return false;
    std::string temporary = target->path + narrow(replacementSuffix);
    if (writeWholeText(temporary, text, target->mode, durability) &&
        std::rename(temporary.c_str(), target->path.c_str()) == 0)
        return durability == Durability::cached || syncFolder(folderOf(target->path));
    std::remove(temporary.c_str());
    return false;
}

void removeStaleReplacements(const String& folder)
{
    BBGame* game = BBGame::game();
    std::string realFolder = game ? narrow(game->resolvePath(folder)) : std::string();
    DIR* listing = realFolder.empty() ? nullptr : opendir(realFolder.c_str());
    if (!listing) return;
    const std::string suffix = narrow(replacementSuffix);
    while (const dirent* entry = readdir(listing)) {
        struct stat info {};
        // Only files: the replacement never leaves anything else behind.
        if (endsWith(entry->d_name, suffix) && fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}
