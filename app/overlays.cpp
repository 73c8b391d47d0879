// Ctrl+O and Ctrl+H: the song list and the key help over the grid. While one
// is shown it takes the keys and the mouse; closing it shows the screen as
// it was.
#include "app/overlays.h"

#include "app/audio_channels.h"
#include "app/note_keys.h"
#include "app/song_files.h"
#include "app/status_texts.h"
#include "app/transport.h"
#include "app/unsaved_work.h"
#include "app/user_input.h"
#include "base/data_paths.h"
#include "player/kovo_play.h"
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
constexpr int repaintNow = 3;  // a full repaint is due at this count

// Navigation keys reach the character queue above the Unicode range, one
// character at every key repeat, so a held arrow keeps moving.
constexpr int navigation(int key) { return key + 65536; }

} // namespace

Overlays::Overlays(Transport& transport, SongFiles& files, const UnsavedWork& unsaved, const NoteKeys& keys,
                   String& statusText, int& redrawCounter)
    : transport(transport), files(files), unsaved(unsaved), keys(keys), statusText(statusText),
      redrawCounter(redrawCounter)
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
        helpBodyLines, [&input](int code) { return input.keyName(code); }, keys.noteKeysByPlace, &keys.keyBindings);
    openOverlay(Overlay::keyHelp);
}

// Each opening reads the songs folder afresh, where LOAD and SAVE find it.
void Overlays::openOverlay(Overlay which)
{
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
    if (which == Overlay::songList) startSongScan();
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
    stopAudition();
    retireSongScan();
    overlay = Overlay::none;
    overlayLeftOnScreen = true;
    overlayChanged();
}

void Overlays::overlayChanged() { redrawCounter = std::max(redrawCounter, repaintNow); }

void Overlays::overlayInput(c_InputDevice& input, float wheel)
{
    wheelStep = wheel;
    if (overlay == Overlay::songList) songListInput(input);
    if (overlay == Overlay::keyHelp) keyHelpInput(input);
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
    songListMouse(input);
    if (overlay != Overlay::songList) return;
    // Moving on to another song stops the one playing and asks again.
    if (songList.highlighted() != before || songList.filter() != filterBefore) {
        stopAudition();
        loadGuardArmed = false;
        overlayChanged();
    }
}

void Overlays::songListKeys(c_InputDevice& input)
{
    int page = songList.pageRows();
    while (int ch = input.nextChar()) {
        switch (ch) {
        case keyBackspace: songList.widen(); break;
        case navigation(keyUp): songList.moveBy(-1); break;
        case navigation(keyDown): songList.moveBy(1); break;
        case navigation(keyPageUp): songList.moveBy(-page); break;
        case navigation(keyPageDown): songList.moveBy(page); break;
        case navigation(keyHome): songList.moveTo(0); break;
        case navigation(keyEnd): songList.moveTo(songList.shownCount() - 1); break;
        default: songList.narrow(static_cast<char32_t>(ch)); break;
        }
    }
    if (wheelStep == 1.0f) songList.moveBy(-1);
    if (wheelStep == -1.0f) songList.moveBy(1);
    if (pressed(input, keyF1)) toggleAudition();
    if (pressed(input, keyEnter)) loadHighlightedSong();
}

// A click highlights an entry; a second click on it soon after loads it.
void Overlays::songListMouse(c_InputDevice& input)
{
    if (!clicked(input, overlayArea)) return;
    int line = static_cast<int>((input.pointerY() - overlayArea.top) / layout::rowHeight);
    int index = songList.top() + line - songListFirstEntryLine;
    if (line < songListFirstEntryLine || line >= songListFirstEntryLine + songListEntryLines ||
        index >= songList.shownCount())
        return;
    // Both clicks of a quick double click can fall into one step.
    bool second = (index == lastClickedEntry && stepsSinceClick <= doubleClickSteps) ||
                  input.hitCount(keyMouseLeft) >= 2;
    lastClickedEntry = second ? -1 : index;
    stepsSinceClick = 0;
    songList.moveTo(index);
    if (second) loadHighlightedSong();
}

// As LOAD with the entry's name, once unsaved changes were confirmed. A song
// playing in the editor stops first, as LOAD works only while not playing.
void Overlays::loadHighlightedSong()
{
    const SongEntry* entry = songList.highlighted();
    if (!entry) return;
    if (unsaved.songChanged && !loadGuardArmed) {
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
    statusText = files.loadSongNamed(name, example);
    transport.rewind();
    closeOverlay();
}

// ---- Audition ----

// The highlighted song from its start, on a player of its own: the editor's
// song and its player are left as they are (a playing one stops, since both
// play on the same channels).
void Overlays::toggleAudition()
{
    if (auditionPlayer) return stopAudition();
    const SongEntry* entry = songList.highlighted();
    if (!entry) return;
    if (transport.playing()) transport.stopPlaying(true);
    stopAllChannels();
    auto listened = std::make_shared<c_kovoPlay>();
    if (listened->loadSong(entry->file) != LoadOutcome::loaded) {
        statusText = statusFileNotFound;
        return;
    }
    auditionPlayer = listened;
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
    auditionPlayer->channelLevels = channelLevels;
    auditionPlayer->tickPlayer();
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
