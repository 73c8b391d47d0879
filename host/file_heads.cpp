#include "host/file_heads.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <iterator>
#include <memory>
#include <system_error>
#include <thread>

namespace {

// Deep enough for any folder a person makes; a bound against odd trees.
constexpr int maxDepth = 16;
constexpr unsigned maxThreads = 4;

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

// Non-blocking, because opening a FIFO for reading waits for a writer; the
// type and size come from the open file, so a file swapped in between
// cannot slip through.
bool readHead(int folderFd, const char* name, size_t headLength, long long sizeLimit, FileHead& out)
{
    int fd = openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info {};
    bool wanted = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= sizeLimit;
    if (wanted) {
        out.head.resize(headLength);
        ssize_t count = pread(fd, out.head.data(), headLength, 0);
        wanted = count >= 0;
        out.head.resize(wanted ? static_cast<size_t>(count) : 0);
        out.size = info.st_size;
        out.modifiedNanoseconds = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    }
    ::close(fd);
    return wanted;
}

// A folder still to be read, by its path below the top folder, and what it
// was when it was listed: a folder swapped for a link meanwhile is not
// entered.
struct PendingFolder {
    std::string prefix;  // with its trailing "/"
    int depth;
    dev_t device;
    ino_t inode;
};

// What one reading of the tree shares: the top folder, the limits, and
// whether whoever asked has stopped waiting.
struct Walk {
    int topFd;
    size_t headLength;
    long long sizeLimit;
    const std::atomic<bool>* cancel;
    bool cancelled() const { return cancel && *cancel; }
};

// The folder of a pending entry, open, or -1 when it is gone or no longer
// the folder that was listed.
int openPending(const Walk& walk, const PendingFolder& pending)
{
    std::string path = pending.prefix.substr(0, pending.prefix.size() - 1);
    int fd = openat(walk.topFd, path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && (fstat(fd, &info) != 0 || info.st_dev != pending.device || info.st_ino != pending.inode)) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}

// Reads the files of one open folder (which it closes) and lists its
// subfolders to be read later: only one folder is open at a time, however
// wide or deep the tree.
void readFolder(const Walk& walk, int folderFd, const std::string& prefix, int depth, std::vector<FileHead>& found,
                std::vector<PendingFolder>& later)
{
    std::unique_ptr<DIR, FolderCloser> folder(fdopendir(folderFd));
    if (!folder) {
        ::close(folderFd);
        return;
    }
    while (dirent* entry = readdir(folder.get())) {
        if (walk.cancelled()) return;
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        // The folder's own record of the type saves a call per file; where it
        // knows none, ask.
        struct stat info {};
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || isFolder) {
            if (fstatat(dirfd(folder.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
            isFolder = S_ISDIR(info.st_mode);
        }
        if (isFolder) {
            if (depth < maxDepth) later.push_back({prefix + name + "/", depth + 1, info.st_dev, info.st_ino});
            continue;
        }
        FileHead file;
        if (!readHead(dirfd(folder.get()), entry->d_name, walk.headLength, walk.sizeLimit, file)) continue;
        file.relativePath = prefix + name;
        found.push_back(std::move(file));
    }
}

// Everything under one subfolder of the top folder, depth first.
void readTree(const Walk& walk, PendingFolder start, std::vector<FileHead>& found)
{
    std::vector<PendingFolder> pending = {std::move(start)};
    while (!pending.empty() && !walk.cancelled()) {
        PendingFolder next = std::move(pending.back());
        pending.pop_back();
        int fd = openPending(walk, next);
        if (fd >= 0) readFolder(walk, fd, next.prefix, next.depth, found, pending);
    }
}

void append(std::vector<FileHead>& to, std::vector<FileHead>&& more)
{
    to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

} // namespace

// The time goes into system calls, four a file: the first level's
// subfolders are shared out among a few threads.
std::vector<FileHead> readFileHeads(const std::string& folder, size_t headLength, long long sizeLimit,
                                    const std::atomic<bool>* cancel)
{
    std::vector<FileHead> found;
    int topFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (topFd < 0) return found;
    const Walk walk {topFd, headLength, sizeLimit, cancel};
    std::vector<PendingFolder> subfolders;
    int listing = ::dup(topFd);  // the top folder stays open for openat below
    if (listing >= 0) readFolder(walk, listing, std::string(), 0, found, subfolders);
    std::atomic<size_t> next {0};
    auto worker = [&] {
        std::vector<FileHead> part;
        for (size_t i; (i = next++) < subfolders.size() && !walk.cancelled();) readTree(walk, subfolders[i], part);
        return part;
    };
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, maxThreads);
    std::vector<std::future<std::vector<FileHead>>> parts;
    // Without threads to spare the work is shared among fewer: the workers
    // take the subfolders from one index.
    try {
        for (unsigned t = 1; t < threads && t < subfolders.size(); ++t)
            parts.push_back(std::async(std::launch::async, worker));
    } catch (const std::system_error&) {
    }
    append(found, worker());
    for (auto& part : parts) append(found, part.get());
    ::close(topFd);
    return found;
}
