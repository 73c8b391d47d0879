#include "app/files/instrument_library.h"

#include "app/editing/cell_text.h"
#include "base/data_paths.h"
#include "base/file_loading.h"
#include "base/file_replace.h"
#include "song/song_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

constexpr size_t nameColumns = 12;
constexpr size_t nameLimit = 24;
// Songs read for their instruments, newest first: enough for a musician's
// folder, bounded for a folder of thousands.
constexpr size_t songsRead = 100;

// Name cut to its column (a long one keeps its end, where a song's
// instrument number stands), then the description or the problem.
String entryLine(const String& name, const LibraryInstrument& instrument)
{
    String shown = shownText(name);
    if (shown.size() > nameColumns) shown = U"~" + shown.substr(shown.size() - nameColumns + 1);
    shown.resize(nameColumns, U' ');
    String detail = instrument.problem.empty() ? shownText(instrument.preset.description) : String(U"(not read)");
    return shown + U" " + detail.substr(0, descriptionLength);
}

void addEntry(InstrumentShelf& shelf, const String& name, const String& key, LibraryInstrument instrument)
{
    SongEntry entry;
    entry.name = name;
    entry.file = key;
    entry.line = entryLine(name, instrument);
    entry.foldedName = foldedText(name + U" " + instrument.preset.description);
    shelf.entries.push_back(std::move(entry));
    shelf.instruments[key] = std::move(instrument);
}

LibraryInstrument readInstrumentFile(const std::string& path)
{
    LibraryInstrument instrument;
    SmallFile file = readSmallFile(path, instrumentFileLimit);
    if (!file.bytes) {
        instrument.problem = file.refusal ? file.refusal : "not there";
    } else {
        InstrumentReading reading = readInstrumentText(std::string_view(
            reinterpret_cast<const char*>(file.bytes->data()), file.bytes->size()));
        instrument.preset = reading.preset;
        if (!reading.ok()) instrument.problem = "line " + std::to_string(reading.badLine) + ": " + reading.reason;
    }
    if (!instrument.problem.empty())
        std::fprintf(stderr, "kovo-tracker: %s %s\n", escapedBytes(path).c_str(), escapedBytes(instrument.problem).c_str());
    return instrument;
}

// The folder's instrument files by name; origin names the folder's kind.
void addFolder(InstrumentShelf& shelf, const std::string& folder, const String& origin)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        std::string file = item.path().filename().string();
        if (file.size() > instrumentExtension.size() &&
            file.compare(file.size() - instrumentExtension.size(), std::string::npos, instrumentExtension) == 0)
            names.push_back(file);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& file : names) {
        LibraryInstrument instrument = readInstrumentFile(folder + "/" + file);
        instrument.origin = origin;
        String name = widen(file.substr(0, file.size() - instrumentExtension.size()));
        addEntry(shelf, name, widen(folder + "/" + file), std::move(instrument));
    }
}

// The instruments a song sets, as "song#N"; the song is read, not loaded.
void addSong(InstrumentShelf& shelf, const SongEntry& song, const std::string& path)
{
    SmallFile file = readSmallFile(path, textFileLimit);
    if (!file.bytes || file.bytes->empty()) return;
    Song read;
    read.patternColumns = blankColumns();
    parseSongText(decodeText(*file.bytes), read);
    for (int n = 1; n < 16; ++n) {
        if (!instrumentInUse(read, n)) continue;
        LibraryInstrument instrument;
        instrument.preset = instrumentOfSong(read, n);
        while (!instrument.preset.description.empty() && instrument.preset.description.back() == U' ')
            instrument.preset.description.pop_back();
        instrument.origin = U"song " + shownText(song.name) + U", instrument " + byteHex(n);
        addEntry(shelf, song.name + U"#" + byteHex(n).substr(1), song.file + U"#" + byteHex(n), std::move(instrument));
    }
}

} // namespace

std::string userInstrumentsFolder()
{
    String home = userDataHome();
    return home.empty() ? std::string() : narrow(home) + "/kovo-tracker/instruments";
}

std::string shippedInstrumentsFolder() { return narrow(processDataFolders().resources) + "/instruments"; }

InstrumentShelf readInstrumentShelf(const std::string& userFolder, const std::string& shippedFolder,
                                    const std::string& songsFolder, const std::string& examplesFolder)
{
    InstrumentShelf shelf;
    if (!userFolder.empty()) addFolder(shelf, userFolder, U"your library");
    addFolder(shelf, shippedFolder, U"shipped with the program");
    std::vector<SongEntry> songs = readSongEntries(songsFolder);
    if (songs.size() > songsRead) songs.resize(songsRead);
    for (const SongEntry& song : songs) addSong(shelf, song, songsFolder + "/" + narrow(song.name));
    for (const SongEntry& song : readExampleEntries(examplesFolder))
        addSong(shelf, song, examplesFolder + "/" + narrow(song.name.substr(exampleSection.size())));
    return shelf;
}

bool instrumentNameSaveable(const String& name)
{
    if (name.empty() || name.size() > nameLimit || name.front() == U' ' || name.back() == U' ') return false;
    return std::all_of(name.begin(), name.end(), [](char32_t c) {
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'-' ||
               c == U'_' || c == U' ';
    });
}

InstrumentSaveOutcome saveInstrument(const InstrumentPreset& preset, const String& name, const std::string& folder)
{
    if (name.empty()) return InstrumentSaveOutcome::noName;
    if (!instrumentNameSaveable(name)) return InstrumentSaveOutcome::badName;
    std::error_code error;
    if (folder.empty()) return InstrumentSaveOutcome::failed;
    std::filesystem::create_directories(folder, error);
    std::string path = folder + "/" + narrow(name) + std::string(instrumentExtension);
    return replaceFile(path, instrumentFileText(preset)) ? InstrumentSaveOutcome::saved : InstrumentSaveOutcome::failed;
}

Song auditionSong(const InstrumentPreset& preset, int octave)
{
    constexpr int noteRow = 0, offRow = rowsPerPattern / 2;
    Song song;
    song.patternColumns = blankColumns();
    placeInstrument(song, 1, preset);
    song.patternColumns[noteColumn(1)][noteRow] = noteKeys[0];
    // Full level, from which every envelope fades out (9-F settle and hold).
    song.patternColumns[volumeColumn(1)][noteRow] = U'8';
    song.patternColumns[instrumentColumn(1)][noteRow] = U'1';
    song.patternColumns[octaveColumn(1)][noteRow] = static_cast<char32_t>(U'0' + std::clamp(octave, 0, 3));
    song.patternColumns[noteColumn(1)][offRow] = U'<';
    song.patternColumns[volumeColumn(1)][offRow] = U'8';
    return song;
}
