// An instrument kept outside a song: its eight slots and its description, as
// a small versioned text of "name = value" lines that a later version can add
// lines to.
#pragma once

#include "base/text.h"
#include "song/song_model.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The first line of every instrument file, before its version number.
constexpr std::string_view instrumentMagic = "kovo-instrument";
constexpr int instrumentFileVersion = 1;
// An instrument is a dozen short lines; far more is no instrument file.
constexpr size_t instrumentFileLimit = 64 * 1024;
constexpr std::string_view instrumentExtension = ".instrument";

struct InstrumentPreset {
    std::array<int, slotsPerInstrument> slots {1, 0, 0, 0, 1, 0, 0, 0};  // as the panel shows a new one
    String description;  // at most descriptionLength characters, printable ASCII
    // The song's own wave its WAV 8..F plays; none for WAV 1..7.
    std::optional<OwnWave> wave;
    bool operator==(const InstrumentPreset& other) const
    {
        return slots == other.slots && description == other.description && wave == other.wave;
    }
};

// The file's text: the magic and version, the description, then one line a
// parameter as the panel names it, and a "wave = " line of 64 samples when
// the instrument plays an own wave.
std::string instrumentFileText(const InstrumentPreset& preset);

// What reading a file gave: the instrument, or the first line that could not
// be read and why.
struct InstrumentReading {
    InstrumentPreset preset;
    int badLine = 0;  // 0 when the whole file was read
    std::string reason;
    bool ok() const { return badLine == 0; }
};
InstrumentReading readInstrumentText(std::string_view text);

// An instrument of the song (1..15) as a preset, its own wave with it, and a
// preset put into one, each exactly as it is; the preset's wave goes into the
// slot that holds the same wave, else the first free one, and WAV names it.
// False, and nothing changes, when the wave finds no slot.
InstrumentPreset instrumentOfSong(const Song& song, int instrument);
bool placeInstrument(Song& song, int instrument, const InstrumentPreset& preset);
// A description padded with blanks to the field's width, as Enter leaves a
// typed one.
String paddedDescription(const String& description);

// Whether a song's instrument was ever set: a waveform or a description.
bool instrumentInUse(const Song& song, int instrument);
