// The files an export writes beside its targets before they take their
// names: made afresh (never an existing file, never through a link) and
// locked for as long as their export lives, so that a later export can tell
// what a killed one left behind from what another one is writing now.
#pragma once

#include <string>

// Beside the target, so that the final rename stays within one folder. "~"
// cannot be typed into a song name, so it never names somebody's song.
constexpr char exportTemporarySuffix[] = "~exporting";

// Creates the file for reading and writing and locks it; -1 with errno set
// when it cannot be made (EEXIST: something already has the name).
int createExportTemporary(const std::string& path);

// Removes the export temporaries in a folder that no running export holds.
void removeAbandonedTemporaries(const std::string& folder);
