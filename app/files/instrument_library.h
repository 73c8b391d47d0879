// The instrument library: the user's instruments, the ones that come with
// the program, and the instruments of the songs in the songs folder and the
// examples, listed as the song list lists songs.
#pragma once

#include "app/files/song_list.h"
#include "song/instrument_file.h"

#include <map>
#include <string>
#include <vector>

// Where the user's instruments are kept: $XDG_DATA_HOME/kovo-tracker/instruments.
std::string userInstrumentsFolder();
// The shipped ones, read-only beside the resources.
std::string shippedInstrumentsFolder();

// One listed instrument: what it holds, or why its file could not be read.
struct LibraryInstrument {
    InstrumentPreset preset;
    std::string problem;  // empty when the preset was read
    String origin;        // where it comes from, as the list's footer says it
};

struct InstrumentShelf {
    std::vector<SongEntry> entries;  // for the list: each file is the key of its instrument
    std::map<String, LibraryInstrument> instruments;
};

// Reads every instrument file of the folders (real paths) and every song of
// the songs and examples folders that is no bigger than a song can be. Files
// that cannot be read are listed with their reason and named on standard
// error.
InstrumentShelf readInstrumentShelf(const std::string& userFolder, const std::string& shippedFolder,
                                    const std::string& songsFolder, const std::string& examplesFolder);

// How saving an instrument under a name ended.
enum class InstrumentSaveOutcome { saved, noName, badName, failed };

// Names that reach the file as typed: letters, digits, "-", "_" and inner
// blanks, at most 24 characters.
bool instrumentNameSaveable(const String& name);
// Writes the preset to the folder (made when missing) as NAME.instrument,
// replacing any file of that name whole or not at all.
InstrumentSaveOutcome saveInstrument(const InstrumentPreset& preset, const String& name, const std::string& folder);

// A song that sounds the preset: C of the octave (0..3) on channel 1 at
// volume 8, held for half the pattern, again at every loop.
Song auditionSong(const InstrumentPreset& preset, int octave);
