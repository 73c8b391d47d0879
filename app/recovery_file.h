// The recovery file: a song with unsaved changes, its name and the cursor,
// kept in the data folder so that a close, a signal or a crash loses no work.
#pragma once

#include "song/song_model.h"

// Where the tracker keeps it: beside the songs folder, not in it, so no typed
// song name reaches it.
constexpr char32_t recoveryFilePath[] = U"quorvane://user/unsaved_song.dat";

// What besides the song is brought back.
struct RecoveredView {
    String songName;
    int cursorColumn = 1;
    int cursorRow = 1;
    int currentPosition = 0;
};

// The file's characters: a first line naming the format, a line with the
// cursor column, row, position and the name's length, the name and a line
// end, then the song exactly as a song file holds it.
String recoveryText(const Song& song, const RecoveredView& view);

// Reads a recovery text; false, with song and view untouched, when the text
// is not one. Cursor values out of range are brought into range.
bool parseRecoveryText(const String& text, Song& song, RecoveredView& view);
