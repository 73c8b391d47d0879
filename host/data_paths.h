// The program's path scheme: "quorvane://data/..." and friends, mapped to
// folders beside the executable.
#pragma once

#include "host/text.h"

// Puts a bare relative path into the data folder; paths with a scheme or a
// drive, and paths starting with "./" or "/", are left alone.
String fixDataPath(const String& path);

// Maps a scheme path to a real file name for an executable living in
// appDirectory; other paths are returned unchanged, unknown "quorvane:"
// paths give "".
String mapSchemePath(const String& path, const String& appDirectory);

// Folder of the running executable without a trailing "/"; aborts when the
// executable cannot be found.
String findExecutableDirectory();
