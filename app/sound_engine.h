// The tracker application: the song, and the parts that edit it, play it,
// keep it and show it, wired to the framework's hooks.
#pragma once

#include "app/export_job.h"
#include "app/note_cursor.h"
#include "app/note_keys.h"
#include "app/note_preview.h"
#include "app/overlays.h"
#include "app/pattern_clipboard.h"
#include "app/pattern_editor.h"
#include "app/panel_hint.h"
#include "app/panel_rows.h"
#include "app/row_stepper.h"
#include "app/screen_painter.h"
#include "app/song_files.h"
#include "app/song_identity.h"
#include "app/transport.h"
#include "app/undo_history.h"
#include "app/unsaved_work.h"
#include "framework/app.h"
#include "song/song_model.h"

#include <optional>
#include <utility>

class c_InputDevice;
enum ShortcutAction : int;

class c_SoundEngine : public c_App {
public:
    c_SoundEngine();
    ~c_SoundEngine() override;

    void create() override;
    void createSounds() override;
    void update() override;
    void inputArrived() override;
    void render() override;
    void close() override;

    // Opens the song file given on the command line (startSongPath).
    void openStartSong();

    // Parts are declared in the order they are built: each one's references
    // go to the song and to parts built before it.
    Song song;
    String statusText;
    NoteCursor cursor;
    SongIdentity identity;
    Transport transport {song, cursor, statusText};
    UnsavedWork unsaved {song, identity, cursor, transport, statusText};
    UndoHistory undo {song, identity, unsaved, transport};
    NoteKeys keys;
    SongFiles files {song, identity, cursor, transport, undo, unsaved, statusText};
    NotePreview preview {song, cursor};
    PatternEditor editor {song, cursor, transport, undo, unsaved, keys, preview, files};
    PatternClipboard clipboardText {song, cursor, transport, editor, undo, statusText};
    int redrawCounter = 0;
    Overlays overlays {song, cursor, transport, files, undo, unsaved, keys, preview, statusText, redrawCounter};
    ExportJob exportJob {song, identity, statusText};
    RowStepper rowStepper;
    PanelHint panelHint;
    ScreenPainter painter {song, cursor, transport, editor, overlays, files, keys, identity, unsaved, statusText,
                          redrawCounter};

    // Given before create: the command line's SONG, and --play (cleared
    // once playback has started, or when the song did not load).
    String startSongPath;
    bool startPlaying = false;

private:
    c_InputDevice& input();
    // Gives the window the program's icon; a missing image is left out.
    void showWindowIcon();
    void restoreUnsavedSong();
    void controlShortcuts();
    void runShortcut(ShortcutAction action);
    void stepWindowScale(int step);
    void playAtStart();
    void runEditingBranch();
    void toggleLoop();
    // Ctrl+Enter: the cursor row sounds, and the cursor steps down.
    void playCursorRow();
    void editorInput();
    void runSpinners();
    void followPanelHint();
    PanelValues panelValues();
    // The note the next step will sound, if nothing else it reads could change
    // what it does: the note's character and octave.
    std::optional<std::pair<char32_t, int>> noteAhead();

    // The scopes and the theme, from the settings file and Ctrl+G, Ctrl+T.
    void readScreenSettings();
    void toggleScopes();
    void nextTheme();

    float wheelStep = 0;
    std::string themeName;
};
