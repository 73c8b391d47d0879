// Writing a whole text file so that it is never left half written.
#pragma once

#include "host/text.h"

// The suffix of the temporary file beside the one being replaced. "~" cannot
// be typed into a song name, so it never names somebody's song.
constexpr char32_t replacementSuffix[] = U"~saving";

// Writes the text as UTF-8 to path + replacementSuffix and renames that over
// path once every byte was written, flushed and closed. On any failure the
// temporary file is removed, path keeps its old content, and the result is
// false.
bool replaceTextFile(const String& path, const String& text);
