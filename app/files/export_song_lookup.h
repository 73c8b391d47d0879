// --export NAME finds what LOAD (F12) finds: a song file given by its path,
// else the user's song of that name in the songs folder, else the example.
#pragma once

#include <string>

// The file an --export argument means; the argument itself when it names a
// file, or when neither folder has a song of that name (the export then
// says it cannot read it).
std::string exportSongFile(const std::string& argument);
