// Module bytes → song, as LOAD, the song list and the export import them
// through libopenmpt: whatever the bytes, the song is one the editor, the
// player and the song file take as they are, and its own text loads back to
// the same song.
#include "base/file_loading.h"
#include "song/module_import.h"
#include "song/song_file.h"
#include "tests/fuzz/fuzz_input.h"

#include <string_view>
#include <vector>

namespace {

bool cellsAreTheEditors(const Song& song)
{
    for (int channel = 1; channel <= channelCount; ++channel) {
        const String& notes = song.patternColumns[size_t(noteColumn(channel))];
        const String& octaves = song.patternColumns[size_t(octaveColumn(channel))];
        for (size_t i = 0; i < size_t(columnLength); ++i) {
            bool note = noteKeys.find(notes[i]) != std::u32string_view::npos || std::u32string_view(U".<-").find(notes[i]) != std::u32string_view::npos;
            if (!note || octaves[i] < U'0' || octaves[i] > U'3') return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureFuzzHost();
    std::optional<Song> song = importModule(std::vector<unsigned char>(data, data + size));
    if (!song) return 0;
    for (const PatternColumn& column : song->patternColumns) fuzzCheck(column.size() == columnLength, "8192-long columns");
    fuzzCheck(song->songLengthRows % rowsPerPattern == 0 && song->songLengthRows >= rowsPerPattern &&
                  song->songLengthRows <= maxSongPositions * rowsPerPattern, "1 to 99 positions");
    fuzzCheck(song->speed >= 1 && song->speed <= 16, "speed 1-16");
    fuzzCheck(cellsAreTheEditors(*song), "notes and octaves the editor writes");
    for (int instrument = 1; instrument <= 15; ++instrument) {
        int wave = instrumentSlot(*song, instrument, slotWave);
        fuzzCheck(wave >= 1 && wave <= 7, "a stock waveform");
    }
    std::string saved = encodeUtf8(songText(*song));
    Song again;
    again.patternColumns = blankColumns();
    parseSongText(decodeText(std::vector<unsigned char>(saved.begin(), saved.end())), again);
    fuzzCheck(songText(again) == songText(*song), "saved and loaded again, the same song");
    return 0;
}
