// The export of a song's notes, MOD or MIDI, written as the sound files are:
// beside the target and renamed only once it is whole on the disk.
#pragma once

#include "export/song_export.h"

ExportResult exportNoteFile(const Song& song, const ExportSettings& settings, const std::string& path);
