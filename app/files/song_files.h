// The name fields and the song files: typing the song's name and an
// instrument's description, SAVE and LOAD, the examples and the song the
// command line names.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/files/song_identity.h"
#include "app/screen/status_row.h"
#include "song/song_model.h"

class c_InputDevice;
class Transport;
class UndoHistory;
class UnsavedWork;

class SongFiles {
public:
    SongFiles(Song& song, SongIdentity& identity, const NoteCursor& cursor, Transport& transport, UndoHistory& undo,
              UnsavedWork& unsaved, StatusRow& status);

    bool textFieldActive() const { return songNameEditing || descriptionEditing; }

    // ---- The editor's step ----
    void songNameField(c_InputDevice& input);
    void descriptionField(c_InputDevice& input);
    void saveTrigger(c_InputDevice& input);
    void loadTrigger(c_InputDevice& input);

    // Reads the song file named songName into the song; the status text.
    // The song it replaced is one undo step.
    String loadSongFile();
    // Reads the example named songName ("examples/name" or "name"), which
    // then keeps its name without the section; the status text.
    String loadExampleSong();
    // The same for a name from the song list: a file in the songs folder, or
    // an example.
    String loadSongNamed(const String& name, bool example = false);
    // Reads a song file into the song, with a fresh undo history; the status
    // text: statusFileLoaded, or statusFileNotFound when it holds nothing to
    // load, or statusLoadingFailed when it could not be read whole (the song
    // stays as it was either way).
    String readSongFile(const String& path);
    // Ctrl+N: a blank, unnamed song; Ctrl+Z brings back the one replaced.
    void newSong();
    // After the transport's step: the question over unsaved changes stays
    // on the status row until something else is said.
    void keepNewSongQuestion();
    // Opens the song file given on the command line; false when it did not
    // load.
    bool openStartSong(const String& path);

    // The song name's and the description's fields take the typed
    // characters (a click on one) or let them go (Enter).
    bool editingSongName() const { return songNameEditing; }
    bool editingDescription() const { return descriptionEditing; }
    void editSongName(bool on) { songNameEditing = on; }
    void editDescription(bool on) { descriptionEditing = on; }

private:
    String readSongText(const String& path);
    // A load's status as the status row says it: a damaged wave section is said.
    String shownStatus(const String& outcome) const;
    String readModule(const String& path);
    bool takeNameCharacters(c_InputDevice& input, String& text, size_t limit);
    bool readExampleSong();

    Song& song;
    SongIdentity& identity;
    const NoteCursor& cursor;
    Transport& transport;
    UndoHistory& undo;
    UnsavedWork& unsaved;
    StatusRow& status;
    bool songNameEditing = false;
    bool descriptionEditing = false;
    bool newSongAsked = false;    // Ctrl+N asked over unsaved changes
    bool importedModule = false;  // the last song read was a module
    bool wavesDamaged = false;    // ... a song whose own waves were cut short or broken
};
