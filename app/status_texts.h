// The status row's words for what the song files and the player report.
#pragma once

#include "song/song_file.h"

#include <array>

constexpr char32_t statusFileSaved[] = U"File Saved...";
constexpr char32_t statusEnterName[] = U"Enter a Name...";
constexpr char32_t statusSavingFailed[] = U"Saving Failed!";
constexpr char32_t statusFileLoaded[] = U"File Loaded...";
constexpr char32_t statusFileNotFound[] = U"File not found!";
// Ctrl+V with text on the clipboard that is no pattern text.
constexpr char32_t statusNoPatternText[] = U"No Pattern Text!";
// The file is there but the disk failed while it was read: nothing is taken.
constexpr char32_t statusLoadingFailed[] = U"Loading Failed!";

// Indexed by SaveOutcome.
constexpr std::array<const char32_t*, 3> saveStatusTexts = {statusFileSaved, statusEnterName, statusSavingFailed};
static_assert(static_cast<int>(SaveOutcome::saved) == 0 && static_cast<int>(SaveOutcome::noName) == 1 &&
                  static_cast<int>(SaveOutcome::failed) == 2,
              "one text for each outcome, in order");

constexpr const char32_t* saveStatusText(SaveOutcome outcome) { return saveStatusTexts[static_cast<size_t>(outcome)]; }
