// Whole-file reading and the decoding of text files.
#pragma once

#include "base/text.h"

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// Largest text the loader takes: songs, font descriptions, the state text.
// The largest song the program can write is 7 + 512 * 256 + 1156 = 132235
// characters of at most three bytes each, 396705 bytes; 512 KiB leaves room.
constexpr size_t textFileLimit = 512 * 1024;
// Largest image, sound or raw byte file: far beyond the program's own
// resources, far below what would exhaust memory.
constexpr size_t mediaFileLimit = 16 * 1024 * 1024;

// Opens a file (a real path) for loading, but only a regular file of at most
// limit bytes: a FIFO, a device or a folder is refused without blocking, so a
// stray name can neither freeze nor flood the program. Null when refused.
std::FILE* openLoadableFile(const std::string& realPath, size_t limit);

// A small file read whole, or why not: "a FIFO", "a folder", "a device",
// "unreadable", "too large" (or "not a regular file"). Neither for a file
// that is not there.
struct SmallFile {
    std::optional<std::vector<unsigned char>> bytes;
    const char* refusal = nullptr;
};
SmallFile readSmallFile(const std::string& path, size_t limit);

// A file's bytes as a terminal may show them: control characters, DEL and
// bytes above 127 as \xNN, so that no escape sequence reaches it.
std::string escapedBytes(const std::string& bytes);

// Reads the rest of an open file in 4096-byte chunks until a chunk comes back
// short (a file of an exact multiple of 4096 ends with an empty read).
// Nothing when it holds more than limit bytes (files that report no size, such
// as those of /proc, are caught here), or when a read fails: the part before
// a failing disk's error is not the file.
std::optional<std::vector<unsigned char>> readWholeFile(std::FILE* file, size_t limit);

// UTF-16 with either byte-order mark, otherwise UTF-8 (one optional mark
// skipped, up to 3-byte sequences); anything else is read as 8-bit text.
String decodeText(const std::vector<unsigned char>& bytes);
