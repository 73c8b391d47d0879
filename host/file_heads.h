// The first bytes and the metadata of every file in a folder tree, read
// without opening more than each file's head: enough to list files by what
// they start with and when they changed.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

struct FileHead {
    std::string relativePath;  // from the folder, "/" between folders
    long long modifiedNanoseconds = 0;
    long long size = 0;
    std::string head;  // the first bytes, at most headLength
};

// Every regular file of at most sizeLimit bytes under the folder (a real path)
// and its subfolders, in no particular order. Files are followed through
// symbolic links but folders are not, so a link loop cannot trap the walk.
// A FIFO, a device, an unreadable file or one too large is left out without
// blocking; an unreadable folder is skipped. However many folders there are,
// each thread holds one open at a time (and one file), so the walk never
// takes the descriptors a save needs. A set cancel flag ends it early with
// what it has.
std::vector<FileHead> readFileHeads(const std::string& folder, size_t headLength, long long sizeLimit,
                                    const std::atomic<bool>* cancel = nullptr);
