// Writing a whole text file so that it is never left half written.
#pragma once

#include "base/file_replace.h"
#include "base/text.h"

// Replaces the file at a scheme path with the text encoded as "utf8", as
// replaceFile does: on failure the file keeps its old content and the result
// is false.
bool replaceTextFile(const String& path, const String& text, Durability durability = Durability::synced);

// Removes the temporary files that replacements cut short (a killed program)
// left in the folder, a scheme path; those of a program still running stay.
// Subfolders are not searched.
void removeStaleReplacements(const String& folder);
