#include "host/file_heads.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <iterator>
#include <memory>
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

struct Subfolder {
    int fd;
    std::string prefix;
};

// With `later`, subfolders are handed back to be walked instead of entered.
void walk(int folderFd, const std::string& prefix, int depth, size_t headLength, long long sizeLimit,
          std::vector<FileHead>& found, std::vector<Subfolder>* later = nullptr)
{
    std::unique_ptr<DIR, FolderCloser> folder(fdopendir(folderFd));
    if (!folder) {
        ::close(folderFd);
        return;
    }
    while (dirent* entry = readdir(folder.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        // The folder's own record of the type saves a call per file; where it
        // knows none, ask.
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            if (fstatat(dirfd(folder.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
            isFolder = S_ISDIR(info.st_mode);
        }
        if (isFolder) {
            if (depth >= maxDepth) continue;
            int child = openat(dirfd(folder.get()), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0) continue;
            if (later) later->push_back({child, prefix + name + "/"});
            else walk(child, prefix + name + "/", depth + 1, headLength, sizeLimit, found);
            continue;
        }
        FileHead file;
        if (!readHead(dirfd(folder.get()), entry->d_name, headLength, sizeLimit, file)) continue;
        file.relativePath = prefix + name;
        found.push_back(std::move(file));
    }
}

} // namespace

// The time goes into system calls, four a file: the first level's
// subfolders are shared out among a few threads.
std::vector<FileHead> readFileHeads(const std::string& folder, size_t headLength, long long sizeLimit)
{
    std::vector<FileHead> found;
    std::vector<Subfolder> subfolders;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) walk(fd, std::string(), 0, headLength, sizeLimit, found, &subfolders);
    std::atomic<size_t> next {0};
    auto worker = [&] {
        std::vector<FileHead> part;
        for (size_t i; (i = next++) < subfolders.size();)
            walk(subfolders[i].fd, subfolders[i].prefix, 1, headLength, sizeLimit, part);
        return part;
    };
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, maxThreads);
    std::vector<std::future<std::vector<FileHead>>> parts;
    for (unsigned t = 1; t < threads && t < subfolders.size(); ++t) parts.push_back(std::async(std::launch::async, worker));
    std::vector<FileHead> own = worker();
    found.insert(found.end(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
    for (auto& part : parts) {
        std::vector<FileHead> more = part.get();
        found.insert(found.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return found;
}
