// Files named by the program's paths (a scheme path or a real one), opened
// and read whole. Nothing here needs a window: the command-line export and
// the song files read through it as the tracker does.
#pragma once

#include "base/text.h"

#include <cstddef>
#include <cstdio>
#include <optional>
#include <vector>

// Opens the file at a path with a C file mode; null when the path names no
// file or the file cannot be opened.
std::FILE* openDataFile(const String& path, const String& mode);

// Opens a file for loading: a regular file of at most limit bytes, or null
// (base/file_loading.h has the rule).
std::FILE* openForLoading(const String& path, size_t limit);

// The whole file when openForLoading takes it and it stays within limit.
// readFailed (when given) tells a file that opened but could not be read
// from one that is not there.
std::optional<std::vector<unsigned char>> loadWholeFile(const String& path, size_t limit, bool* readFailed = nullptr);

// An image, sound or raw byte file whole, or nothing when it cannot be opened.
std::optional<std::vector<unsigned char>> loadFileBytes(const String& path);

// Loads a whole file of the data folder (a bare relative path) or any other
// path as text; empty when it cannot be loaded.
String loadText(const String& path);
// The same, saying whether the file was there but could not be read.
String loadText(const String& path, bool& readFailed);
