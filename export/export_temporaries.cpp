#include "export/export_temporaries.h"

#include "base/file_replace.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A file is created and then locked: two steps a cleaner could fall between.
// Creators hold the folder's lock shared across both, the cleaner holds it
// alone, so it only ever sees temporaries that are locked or abandoned.
int lockedFolder(const std::string& folder, int operation)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) flock(fd, operation);
    return fd;
}

// Removes one temporary when no export holds it and the name still means
// the file that was checked.
void removeIfAbandoned(int folderFd, const char* name)
{
    int fd = openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return;
    struct stat opened {}, named {};
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == opened.st_ino &&
        named.st_dev == opened.st_dev)
        unlinkat(folderFd, name, 0);
    close(fd);
}

} // namespace

int createExportTemporary(const std::string& path)
{
    int folderFd = lockedFolder(folderOf(path), LOCK_SH);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    int error = errno;
    // Nobody else can hold a file this new: the lock is there at once.
    if (fd >= 0) flock(fd, LOCK_EX | LOCK_NB);
    if (folderFd >= 0) close(folderFd);
    errno = error;
    return fd;
}

void removeAbandonedTemporaries(const std::string& folder)
{
    int folderFd = lockedFolder(folder, LOCK_EX);
    if (folderFd < 0) return;
    std::unique_ptr<DIR, FolderCloser> listing(fdopendir(folderFd));
    if (!listing) {
        close(folderFd);
        return;
    }
    while (const dirent* entry = readdir(listing.get()))
        if (endsWith(entry->d_name, exportTemporarySuffix)) removeIfAbandoned(folderFd, entry->d_name);
}
