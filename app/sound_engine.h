// The tracker application: the song, and the parts that edit it, play it,
// keep it and show it, wired to the framework's hooks.
#pragma once

#include "app/editing/row_stepper.h"
#include "app/screen/panel_hint.h"
#include "app/screen/panel_rows.h"
#include "app/screen/screen_painter.h"
#include "app/tracker_parts.h"
#include "framework/app.h"

class c_InputDevice;
enum ShortcutAction : int;

class c_SoundEngine : public c_App, public TrackerParts {
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

    // The screen's parts, beside the tracker's.
    RowStepper rowStepper;
    PanelHint panelHint;
    ScreenPainter painter {song, cursor, transport, editor, overlays, files, keys, identity, unsaved, status, repaints};

    // The command line's SONG and --play, given before create.
    void startWith(const String& songPath, bool play);
    // --play is still to start playback: the song loaded and the screen has
    // not been shown yet.
    bool playsAtStart() const { return startPlaying; }


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
    // Ctrl+Enter: the cursor row sounds, and the cursor steps down.
    void playCursorRow();
    void editorInput();
    void followPanelHint();

    // The scopes and the theme, from the settings file and Ctrl+G, Ctrl+T.
    void readScreenSettings();
    void toggleScopes();
    void nextTheme();

    // The command line's SONG, and --play (cleared once playback has
    // started, or when the song did not load).
    String startSongPath;
    bool startPlaying = false;
    float wheelStep = 0;
    std::string themeName;
};
