// Song file bytes → song, as the tracker and the player load it; then the
// song's own text must load back to the same song.
#include "base/data_files.h"
#include "base/file_loading.h"
#include "song/song_file.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <vector>

namespace {

Song loadedSong(const String& text)
{
    Song song;
    song.patternColumns = blankColumns();
    parseSongText(text, song);
    return song;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    String text = loadText(widen(writeFuzzFile("song", data, size)));
    // Callers treat an empty text as a missing file and never parse it.
    if (text.empty()) return 0;
    Song song;
    song.patternColumns = blankColumns();
    OwnWavesRead waves = parseSongText(text, song);
    fuzzCheck(waves != OwnWavesRead::none || std::none_of(song.ownWaves.begin(), song.ownWaves.end(),
                                                          [](const auto& wave) { return wave.has_value(); }),
              "waves only from a wave section");
    for (const String& column : song.patternColumns) fuzzCheck(column.size() == columnLength, "8192-long columns");

    std::string saved = encodeUtf8(songText(song));
    Song again = loadedSong(decodeText(std::vector<unsigned char>(saved.begin(), saved.end())));
    fuzzCheck(songText(again) == songText(song), "load, save, load is stable");
    fuzzCheck(again.ownWaves == song.ownWaves, "the waves read are the waves saved");
    return 0;
}
