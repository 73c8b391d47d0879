// The recovery file: a song with unsaved changes, its name and the cursor,
// kept in the data folder so that a close, a signal or a crash loses no work.
#pragma once

#include "song/song_model.h"

// Where the tracker keeps it: beside the songs folder, not in it, so no typed
// song name reaches it. Each running tracker keeps its own, numbered from 1:
// the first is "unsaved_song.dat", the others "unsaved_song-N.dat".
constexpr int recoveryFileCount = 16;
String recoveryFilePath(int number);
// The lock file whose byte N a running tracker holds while file N is its own.
constexpr char32_t recoveryLockPath[] = U"quorvane://user/unsaved_song.lock";

// What besides the song is brought back.
struct RecoveredView {
    String songName;
    int cursorColumn = 1;
    int cursorRow = 1;
    int currentPosition = 0;
    String songPath;  // the song's file, a full path; empty in files of the first format
};

// The file's characters: a first line naming the format, a line with the
// cursor column, row, position, the name's length and the path's length, the
// name and a line end, the path and a line end, then the song exactly as a
// song file holds it. The first format had neither the path nor its length.
String recoveryText(const Song& song, const RecoveredView& view);

// Reads a recovery text; false, with song and view untouched, when the text
// is not one. Cursor values out of range are brought into range.
bool parseRecoveryText(const String& text, Song& song, RecoveredView& view);
