// Writing a whole text file so that it is never left half written.
#pragma once

#include "host/text.h"

// The suffix of the temporary file beside the one being replaced. "~" cannot
// be typed into a song name, so it never names somebody's song.
constexpr char32_t replacementSuffix[] = U"~saving";

// How far a replacement has got when replaceTextFile returns.
enum class Durability {
    cached,  // in the system's cache: enough for a file that is read back at once
    synced,  // on the disk under its new name: survives a power cut
};

// Writes the text as UTF-8 to a temporary file beside the file path names and
// renames that over it once every byte was written, flushed and closed. A
// symbolic link is followed: its target is replaced and the link stays. The
// new file keeps the old one's mode. An existing file that is not a regular
// file, or that the user may not write, is left alone. On any failure the
// temporary file is removed, the file keeps its old content, and the result
// is false.
bool replaceTextFile(const String& path, const String& text, Durability durability = Durability::synced);

// Removes the temporary files that replacements cut short (a killed program)
// left in the folder, a scheme path. Subfolders are not searched.
void removeStaleReplacements(const String& folder);
