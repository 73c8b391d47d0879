// What is shown over the pattern grid and the position list: the song list
// (Ctrl+O), with a song auditioned on a player of its own, the instrument
// library (Ctrl+I), its instruments auditioned the same way, and the key
// help (Ctrl+H). While one is shown it takes the keys and the mouse; closing it
// shows the screen as it was.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/editing/wave_editor.h"
#include "app/files/instrument_library.h"
#include "app/files/song_list.h"
#include "app/keys/key_help.h"
#include "app/screen/repaint_request.h"
#include "app/screen/status_row.h"
#include "song/song_model.h"

#include <atomic>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class c_InputDevice;
class c_kovoPlay;
class NoteKeys;
class NotePreview;
class SongFiles;
class Transport;
class UndoHistory;
class UnsavedWork;

enum class Overlay { none, songList, keyHelp, instruments, waveEditor };

class Overlays {
public:
    // Lines of the overlay area: one per grid row.
    static constexpr int overlayLines = rowsPerPattern;
    static constexpr int songListFirstEntryLine = 3;
    static constexpr int songListEntryLines = 26;
    static constexpr int helpBodyLines = 30;

    Overlays(Song& song, const NoteCursor& cursor, Transport& transport, SongFiles& files, UndoHistory& undo,
             const UnsavedWork& unsaved, const NoteKeys& keys, NotePreview& preview, StatusRow& status, RepaintRequest& repaints);
    ~Overlays();

    bool shown() const { return overlay != Overlay::none; }
    void toggleSongList();
    void toggleKeyHelp(const c_InputDevice& input);
    void toggleInstruments();
    void toggleWaveEditor();
    void closeOverlay();
    // The step's keys and mouse while an overlay is shown; wheel is the
    // step's mouse wheel.
    void overlayInput(c_InputDevice& input, float wheel);
    // One step of the auditioned song.
    void tickAudition(const std::array<float, channelCount>& channelLevels);
    // The help's pages, laid out once.
    const std::vector<HelpPage>& keyHelp() const { return helpPages; }
    int keyHelpPageCount() const;

    Overlay which() const { return overlay; }
    // The song list, and the instrument library's list.
    const SongList& songs() const { return songList; }
    const SongList& instruments() const { return instrumentList; }
    const WaveEditor& waveEditor() const { return waveEditor_; }
    // The library entry under the highlight, or null.
    const LibraryInstrument* highlightedInstrument() const;
    // A listed song or instrument plays.
    bool auditioning() const { return auditionPlayer != nullptr; }
    // Where the list's songs are, read at each opening.
    const String& songsFolder() const { return songsFolderPath; }
    // The first Enter over unsaved changes was pressed.
    bool loadGuarded() const { return loadGuardArmed; }
    int helpPageShown() const { return helpPage; }
    // Closed, and the screen still shows it until the body is drawn again.
    bool leftOnScreen() const { return overlayLeftOnScreen; }
    void bodyRestored() { overlayLeftOnScreen = false; }
    // Reads the songs folder for the list, off the update step; a set flag
    // tells it nobody waits any more. A test may put a slower one in.
    using SongScanner =
        std::function<std::vector<SongEntry>(const std::string&, const std::string&, const std::atomic<bool>*)>;
    void scanSongsWith(SongScanner scanner) { songScanner = std::move(scanner); }

private:
    struct SongScan {
        std::shared_ptr<std::atomic<bool>> cancel;
        std::future<std::vector<SongEntry>> entries;
    };

    void openOverlay(Overlay which);
    void songListInput(c_InputDevice& input);
    void keyHelpInput(c_InputDevice& input);
    void takeSongScan();
    void startSongScan();
    void retireSongScan();
    void songListKeys(c_InputDevice& input);
    // Typing, moving and the wheel in a list.
    void listKeys(SongList& list, c_InputDevice& input);
    // A click highlights an entry; true for the second click of a double click.
    bool listClicked(SongList& list, c_InputDevice& input);
    // Moving on to another entry stops what plays and asks again.
    void followListChange(const SongList& list, const SongEntry* before, const String& filterBefore);
    void instrumentsInput(c_InputDevice& input);
    void readInstrumentShelf();
    void loadHighlightedInstrument();
    void saveCurrentInstrument();
    void loadHighlightedSong();
    void toggleAudition();
    void stopAudition();
    // Marks the overlay for drawing at the next frame.
    void overlayChanged();

    Song& song;
    const NoteCursor& cursor;
    Transport& transport;
    SongFiles& files;
    UndoHistory& undo;
    const UnsavedWork& unsaved;
    const NoteKeys& keys;
    StatusRow& status;
    RepaintRequest& repaints;
    SongScan songScan;                   // while the songs folder is read
    std::vector<SongScan> retiredScans;  // given up on, ending by themselves
    int lastClickedEntry = -1;
    int stepsSinceClick = 0;
    float wheelStep = 0;
    // Laid out at each opening, with the keys as the keyboard in use prints them.
    std::vector<HelpPage> helpPages = keyHelpPages(helpBodyLines);
    Overlay overlay = Overlay::none;
    SongList songList {songListEntryLines};
    // The instrument library's list, and what each of its entries holds by
    // the entry's file.
    SongList instrumentList {songListEntryLines};
    std::map<String, LibraryInstrument> libraryInstruments;
    WaveEditor waveEditor_;
    SongScanner songScanner = readSongsAndExamples;
    std::shared_ptr<c_kovoPlay> auditionPlayer;  // while a listed song plays
    bool loadGuardArmed = false;
    String songsFolderPath;
    int helpPage = 0;
    bool overlayLeftOnScreen = false;
};
