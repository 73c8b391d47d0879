// Which file the song is kept in: a name in the songs folder, or the file
// the tracker was started with.
#pragma once

#include "base/text.h"

struct SongIdentity {
    String songName;
    // The song file named on the command line: SAVE and LOAD use it until
    // the name is edited; empty while names mean files in the songs folder.
    String songFilePath;

    // The file SAVE and LOAD mean: songFilePath, else songName in the songs folder.
    String songFile() const;
    // The song's file as a full path: who the unsaved work belongs to.
    String songFileFullPath() const;
};
