// Ctrl+O and Ctrl+H: the song list and the key help over the grid. While one
// is shown it takes the keys and the mouse; closing it shows the screen as
// it was.
#include "app/screen/overlays.h"

#include "app/editing/undo_history.h"
#include "app/files/song_files.h"
#include "app/files/unsaved_work.h"
#include "app/keys/note_keys.h"
#include "app/keys/user_input.h"
#include "app/playing/audio_channels.h"
#include "app/playing/transport.h"
#include "app/screen/status_texts.h"
#include "base/data_files.h"
#include "base/data_paths.h"
#include "player/kovo_play.h"
#include "song/module_import.h"
#include "song/song_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

namespace {

constexpr int doubleClickSteps = 25;  // half a second
// A small folder is read before the list is first drawn; a large one goes on
// reading off the update step while the list says so.
constexpr auto scanWaitInStep = std::chrono::milliseconds(15);

// Navigation keys reach the character queue above the Unicode range, one
// character at every key repeat, so a held arrow keeps moving.
constexpr int navigation(int key) { return key + 65536; }

} // namespace

Overlays::Overlays(Song& song, const NoteCursor& cursor, Transport& transport, SongFiles& files, UndoHistory& undo,
                   const UnsavedWork& unsaved, const NoteKeys& keys, NotePreview& preview, StatusRow& status,
                   RepaintRequest& repaints)
    : song(song), cursor(cursor), transport(transport), files(files), undo(undo), unsaved(unsaved), keys(keys),
      status(status), repaints(repaints), waveEditor_(song, cursor, undo, preview, status)
{
}

Overlays::~Overlays() = default;

void Overlays::toggleSongList()
{
    if (overlay == Overlay::songList) return closeOverlay();
    openOverlay(Overlay::songList);
}

void Overlays::toggleKeyHelp(const c_InputDevice& input)
{
    if (overlay == Overlay::keyHelp) return closeOverlay();
    helpPages = keyHelpPages(
        helpBodyLines, [&input](int code) { return input.keyName(code); }, keys.byPlace(), &keys.bindings());
    openOverlay(Overlay::keyHelp);
}

void Overlays::toggleInstruments()
{
    if (overlay == Overlay::instruments) return closeOverlay();
    openOverlay(Overlay::instruments);
}

void Overlays::toggleWaveEditor()
{
    if (overlay == Overlay::waveEditor) return closeOverlay();
    openOverlay(Overlay::waveEditor);
    waveEditor_.open();
}

// Each opening reads the songs folder afresh, where LOAD and SAVE find it.
void Overlays::openOverlay(Overlay which)
{
    if (overlay == Overlay::waveEditor) waveEditor_.close();
    stopAudition();
    // The editor's step, which fades out a note typed in Standby, rests
    // while an overlay is shown; a playing song goes on.
    if (!transport.playing()) stopAllChannels();
    overlay = which;
    overlayLeftOnScreen = false;
    helpPage = 0;
    loadGuardArmed = false;
    lastClickedEntry = -1;
    songList = SongList(songListEntryLines);
    instrumentList = SongList(songListEntryLines);
    if (which == Overlay::songList) startSongScan();
    if (which == Overlay::instruments) readInstrumentShelf();
    overlayChanged();
}

// A scan still running from an earlier opening is given up, not waited for:
// on a slow disk that could take as long as the disk likes.
void Overlays::startSongScan()
{
    retireSongScan();
    std::string folder = narrow(resolveDataPath(songFolder));
    // In full where it can be copied from, the first time; the list shows
    // what fits.
    if (songsFolderPath.empty() && !folder.empty()) {
        std::printf("kovo-tracker: songs folder %s\n", folder.c_str());
        std::fflush(stdout);
    }
    songsFolderPath = widen(folder);
    std::string examples = narrow(resolveDataPath(exampleFolder));
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    try {
        songScan = {cancel, std::async(std::launch::async, [scanner = songScanner, folder, examples, cancel] {
                        return scanner(folder, examples, cancel.get());
                    })};
    } catch (const std::system_error&) {
        songList.setEntries({});  // no thread to read with: an empty list, not an ended program
        return;
    }
    if (songScan.entries.wait_for(scanWaitInStep) == std::future_status::ready) takeSongScan();
}

// Tells the current scan to stop and keeps it until it has; scans that have
// ended are let go (a future of std::async waits for its task when dropped).
void Overlays::retireSongScan()
{
    auto ended = [](const SongScan& scan) {
        return scan.entries.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    retiredScans.erase(std::remove_if(retiredScans.begin(), retiredScans.end(), ended), retiredScans.end());
    if (!songScan.entries.valid()) return;
    *songScan.cancel = true;
    retiredScans.push_back(std::move(songScan));
    songScan = {};
}

void Overlays::closeOverlay()
{
    if (overlay == Overlay::waveEditor) waveEditor_.close();
    stopAudition();
    retireSongScan();
    overlay = Overlay::none;
    overlayLeftOnScreen = true;
    overlayChanged();
}

void Overlays::overlayChanged() { repaints.requestRepaint(); }

void Overlays::overlayInput(c_InputDevice& input, float wheel)
{
    wheelStep = wheel;
    if (overlay == Overlay::songList) songListInput(input);
    if (overlay == Overlay::keyHelp) keyHelpInput(input);
    if (overlay == Overlay::instruments) instrumentsInput(input);
    if (overlay == Overlay::waveEditor) {
        if (pressed(input, keyEscape)) return closeOverlay();
        if (waveEditor_.input(input, transport.playing())) overlayChanged();
    }
}

// A scan that failed (no memory, no thread) shows an empty list.
void Overlays::takeSongScan()
{
    std::future<std::vector<SongEntry>>& entries = songScan.entries;
    if (!entries.valid() || entries.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    try {
        songList.setEntries(entries.get());
    } catch (...) {
        songList.setEntries({});
    }
    songScan = {};
    overlayChanged();
}

// ---- Song list ----

void Overlays::songListInput(c_InputDevice& input)
{
    takeSongScan();
    stepsSinceClick += 1;
    if (pressed(input, keyEscape)) return closeOverlay();
    const SongEntry* before = songList.highlighted();
    String filterBefore = songList.filter();
    songListKeys(input);
    if (overlay != Overlay::songList) return;
    if (listClicked(songList, input)) loadHighlightedSong();
    if (overlay != Overlay::songList) return;
    followListChange(songList, before, filterBefore);
}

void Overlays::followListChange(const SongList& list, const SongEntry* before, const String& filterBefore)
{
    if (list.highlighted() == before && list.filter() == filterBefore) return;
    stopAudition();
    loadGuardArmed = false;
    overlayChanged();
}

void Overlays::songListKeys(c_InputDevice& input)
{
    listKeys(songList, input);
    if (pressed(input, keyF1)) toggleAudition();
    if (pressed(input, keyEnter)) loadHighlightedSong();
}

void Overlays::listKeys(SongList& list, c_InputDevice& input)
{
    int page = list.pageRows();
    while (int ch = input.nextChar()) {
        switch (ch) {
        case keyBackspace: list.widen(); break;
        case navigation(keyUp): list.moveBy(-1); break;
        case navigation(keyDown): list.moveBy(1); break;
        case navigation(keyPageUp): list.moveBy(-page); break;
        case navigation(keyPageDown): list.moveBy(page); break;
        case navigation(keyHome): list.moveTo(0); break;
        case navigation(keyEnd): list.moveTo(list.shownCount() - 1); break;
        default: list.narrow(static_cast<char32_t>(ch)); break;
        }
    }
    if (wheelStep == 1.0f) list.moveBy(-1);
    if (wheelStep == -1.0f) list.moveBy(1);
}

bool Overlays::listClicked(SongList& list, c_InputDevice& input)
{
    if (!clicked(input, overlayArea)) return false;
    int line = static_cast<int>((input.pointerY() - overlayArea.top) / layout::rowHeight);
    int index = list.top() + line - songListFirstEntryLine;
    if (line < songListFirstEntryLine || line >= songListFirstEntryLine + songListEntryLines ||
        index >= list.shownCount())
        return false;
    // Both clicks of a quick double click can fall into one step.
    bool second = (index == lastClickedEntry && stepsSinceClick <= doubleClickSteps) ||
                  input.hitCount(keyMouseLeft) >= 2;
    lastClickedEntry = second ? -1 : index;
    stepsSinceClick = 0;
    list.moveTo(index);
    return second;
}

// As LOAD with the entry's name, once unsaved changes were confirmed. A song
// playing in the editor stops first, as LOAD works only while not playing.
void Overlays::loadHighlightedSong()
{
    const SongEntry* entry = songList.highlighted();
    if (!entry) return;
    if (unsaved.songChanged() && !loadGuardArmed) {
        loadGuardArmed = true;
        overlayChanged();
        return;
    }
    String name = entry->name;
    bool example = entry->example;
    stopAudition();
    if (transport.playing()) {
        stopAllChannels();
        transport.stopPlaying(false);
    }
    status.say(files.loadSongNamed(name, example));
    transport.rewind();
    closeOverlay();
}

// ---- Audition ----

namespace {
// A module is read through libopenmpt and handed over as the song it makes.
std::optional<Song> auditionSong(const SongEntry& entry)
{
    if (entry.module) {
        String realPath = resolveDataPath(entry.file);
        return realPath.empty() ? std::nullopt : importModuleFile(narrow(realPath));
    }
    String text = loadText(entry.file);
    if (text.empty()) return std::nullopt;
    Song song;
    parseSongText(text, song);
    return song;
}
} // namespace

// The highlighted song from its start, or a note of the highlighted
// instrument, on a player of its own: the editor's song and its player are
// left as they are (a playing one stops, since both play on the same
// channels).
void Overlays::toggleAudition()
{
    if (auditionPlayer) return stopAudition();
    bool instrument = overlay == Overlay::instruments;
    const SongEntry* entry = instrument ? instrumentList.highlighted() : songList.highlighted();
    const LibraryInstrument* item = highlightedInstrument();
    if (!entry || (instrument && (!item || !item->problem.empty()))) return;
    if (transport.playing()) transport.stopPlaying(true);
    stopAllChannels();
    std::optional<Song> listened = instrument ? auditionSong(item->preset, cursor.octave) : auditionSong(*entry);
    if (!listened) {
        status.say(statusFileNotFound);
        return;
    }
    auditionPlayer = std::make_shared<c_kovoPlay>();
    auditionPlayer->play(*listened);
    overlayChanged();
}

void Overlays::stopAudition()
{
    if (!auditionPlayer) return;
    auditionPlayer.reset();
    stopAllChannels();
    overlayChanged();
}

void Overlays::tickAudition(const std::array<float, channelCount>& channelLevels)
{
    if (!auditionPlayer) return;
    auditionPlayer->useChannelLevels(channelLevels);
    auditionPlayer->tickPlayer();
}

// ---- Instrument library ----

// Read whole at each opening and after a save: the files are small.
void Overlays::readInstrumentShelf()
{
    std::string songs = narrow(resolveDataPath(songFolder));
    std::string examples = narrow(resolveDataPath(exampleFolder));
    InstrumentShelf shelf = ::readInstrumentShelf(userInstrumentsFolder(), shippedInstrumentsFolder(), songs, examples);
    libraryInstruments = std::move(shelf.instruments);
    instrumentList = SongList(songListEntryLines);
    instrumentList.setEntries(std::move(shelf.entries));
}

const LibraryInstrument* Overlays::highlightedInstrument() const
{
    const SongEntry* entry = instrumentList.highlighted();
    if (!entry) return nullptr;
    auto found = libraryInstruments.find(entry->file);
    return found == libraryInstruments.end() ? nullptr : &found->second;
}

void Overlays::instrumentsInput(c_InputDevice& input)
{
    stepsSinceClick += 1;
    if (pressed(input, keyEscape)) return closeOverlay();
    const SongEntry* before = instrumentList.highlighted();
    String filterBefore = instrumentList.filter();
    listKeys(instrumentList, input);
    if (pressed(input, keyF1)) toggleAudition();
    if (pressed(input, keyF11)) saveCurrentInstrument();
    if (pressed(input, keyEnter) || listClicked(instrumentList, input)) return loadHighlightedInstrument();
    followListChange(instrumentList, before, filterBefore);
}

// Into the current instrument, as one undo step; the song playing goes on.
void Overlays::loadHighlightedInstrument()
{
    const LibraryInstrument* item = highlightedInstrument();
    if (!item) return;
    if (!item->problem.empty()) {
        status.say(statusInstrumentNotRead);
        overlayChanged();
        return;
    }
    InstrumentPreset before = instrumentOfSong(song, cursor.instrument);
    OwnWaves wavesBefore = song.ownWaves;
    InstrumentPreset taken = item->preset;
    taken.description = paddedDescription(taken.description);
    if (!placeInstrument(song, cursor.instrument, taken)) {
        status.say(statusNoWaveSlot);
        overlayChanged();
        return;
    }
    undo.takeInstrumentStep(cursor.instrument, before, wavesBefore);
    status.say(statusInstrumentLoaded);
    closeOverlay();
}

// Under the name typed into the find line; the list is read again to show it.
void Overlays::saveCurrentInstrument()
{
    String name = instrumentList.filter();
    InstrumentSaveOutcome outcome = saveInstrument(instrumentOfSong(song, cursor.instrument), name, userInstrumentsFolder());
    status.say(instrumentSaveStatusText(outcome));
    if (outcome == InstrumentSaveOutcome::saved) {
        stopAudition();
        readInstrumentShelf();
        for (char32_t c : name) instrumentList.narrow(c);
    }
    overlayChanged();
}

// ---- Key help ----

int Overlays::keyHelpPageCount() const { return static_cast<int>(keyHelp().size()); }

void Overlays::keyHelpInput(c_InputDevice& input)
{
    if (pressed(input, keyEscape)) return closeOverlay();
    int page = helpPage;
    while (int ch = input.nextChar()) {
        if (ch == navigation(keyPageDown) || ch == navigation(keyDown)) page += 1;
        if (ch == navigation(keyPageUp) || ch == navigation(keyUp)) page -= 1;
        if (ch == navigation(keyHome)) page = 0;
        if (ch == navigation(keyEnd)) page = keyHelpPageCount() - 1;
    }
    if (wheelStep == 1.0f) page -= 1;
    if (wheelStep == -1.0f) page += 1;
    page = std::clamp(page, 0, keyHelpPageCount() - 1);
    if (page == helpPage) return;
    helpPage = page;
    overlayChanged();
}
