#include "app/sound_engine.h"

#include "app/keys/key_table.h"
#include "app/keys/user_input.h"
#include "app/playing/audio_channels.h"
#include "host/game.h"

#include <algorithm>

namespace {
const ControlShortcut& shortcutAt(size_t slot) { return keyRows[slot / shortcutsPerRow].shortcuts[slot % shortcutsPerRow]; }

// Whether a Control+Shift shortcut is bound to the key.
bool hasShiftShortcut(const KeyBindings& bindings, int key)
{
    for (size_t slot = 0; slot < shortcutSlots; ++slot) {
        if (shortcutAt(slot).withShift && boundShortcutKey(bindings, slot) == key) return true;
    }
    return false;
}

// Presses this step that run the shortcut in the slot: with Shift for a
// Control+Shift one; without it for a Control one whose key has a Shift one
// too.
int shortcutPresses(const c_InputDevice& input, const KeyBindings& bindings, size_t slot)
{
    int key = boundShortcutKey(bindings, slot);
    int withShift = input.hitCountWith(key, modifierControl | modifierShift);
    if (shortcutAt(slot).withShift) return withShift;
    return controlPresses(input, key) - (hasShiftShortcut(bindings, key) ? withShift : 0);
}
} // namespace

c_InputDevice& c_SoundEngine::input() { return *inputDevice(); }

// One update step: the transport's switches, then the editor and the
// spinners while not playing, then the player while playing. While the song
// list or the key help is shown it takes the keys and the mouse instead,
// and the song plays on.
void c_SoundEngine::update()
{
    repaints.stepTaken();
    wheelStep = input().takeWheel();
    if (overlays.shown()) {
        controlShortcuts();
        overlays.overlayInput(input(), wheelStep);
    } else {
        transport.switchChannels(input(), painter.scopesShown() ? buttons::scopes : buttons::meters);
        transport.toggleFollow(input());
        keys.toggleLayout(input());
        transport.toggleEditing(input());
        if (clicked(input(), buttons::undo)) undo.restoreUndoSnapshot();
        controlShortcuts();
        playAtStart();
        transport.togglePlayback(input());
        if (!transport.playing() || transport.live()) runEditingBranch();
        if (clicked(input(), buttons::logo)) overlays.toggleKeyHelp(input());
    }
    painter.showLogoHint(buttons::logo.contains(input().pointerX(), input().pointerY()));
    followPanelHint();
    transport.showCurrentPattern();
    // The song's player takes the channels from Ctrl+Enter's, as does a
    // previewed note.
    if (transport.playing()) preview.lendChannels(false);
    if (!preview.channelsLent()) rowStepper.release();
    if (transport.playing()) transport.tickPlayback();
    files.keepNewSongQuestion();
    rowStepper.tick(transport.channelLevels());
    overlays.tickAudition(transport.channelLevels());
    unsaved.keepRecoveryFresh();
    exportJob.followExport();
    clipboardText.followPaste(input());
    preview.dropAheadPreview();
}

// Every press counts: quick chords can bring two presses of one shortcut
// into a step. Over the song list or the help only the shortcuts meant for
// them act.
void c_SoundEngine::controlShortcuts()
{
    bool overlaid = overlays.shown();
    for (size_t slot = 0; slot < shortcutSlots; ++slot) {
        const ControlShortcut& shortcut = shortcutAt(slot);
        // Undo and redo reach the wave editor's edits while it is open.
        bool editsWaves = overlays.which() == Overlay::waveEditor &&
                          (shortcut.run == undoAction || shortcut.run == redoAction);
        if (!shortcut.run || (overlaid && !shortcut.overOverlay && !editsWaves)) continue;
        for (int n = shortcutPresses(input(), keys.bindings(), slot); n > 0; --n) runShortcut(shortcut.run);
    }
}

void c_SoundEngine::runShortcut(ShortcutAction action)
{
    switch (action) {
    case noAction: break;
    case undoAction: undo.restoreUndoSnapshot(); break;
    case redoAction: undo.redoUndoSnapshot(); break;
    case copyAction: clipboardText.copyChannelRows(input()); break;
    case copyAllChannelsAction: clipboardText.copyAllChannelRows(input()); break;
    case cutAction: clipboardText.cutChannelRows(input()); break;
    case pasteAction: clipboardText.pastePatternText(input()); break;
    case mixPasteAction: clipboardText.mixPastePatternText(input()); break;
    case noteKeysAction: keys.toggleNoteKeyMode(); break;
    case exportAction: exportJob.startExport(); break;
    case exportFormatAction: exportJob.cycleExportFormat(); break;
    case enlargeWindowAction: stepWindowScale(+1); break;
    case shrinkWindowAction: stepWindowScale(-1); break;
    case songListAction: overlays.toggleSongList(); break;
    case keyHelpAction: overlays.toggleKeyHelp(input()); break;
    case liveAction: transport.toggleLive(); break;
    case loopAction: editor.toggleLoop(); break;
    case playRowAction: playCursorRow(); break;
    case newSongAction: files.newSong(); break;
    case scopesAction: toggleScopes(); break;
    case themeAction: nextTheme(); break;
    case instrumentsAction: overlays.toggleInstruments(); break;
    case waveEditorAction: overlays.toggleWaveEditor(); break;
    }
}

// --play: F1 once the screen has been shown, as a user would press it, so
// that the grid stands under the playing song as it does after F1.
void c_SoundEngine::playAtStart()
{
    if (!startPlaying || !painter.bodyShown()) return;
    startPlaying = false;
    transport.startPlaybackFromStart();
}

// An overlay covers the panel: nothing there to explain.
void c_SoundEngine::followPanelHint()
{
    bool panelShown = !overlays.shown();
    PanelValues values {song, cursor, transport.position()};
    panelHint.follow(panelShown ? input().pointerX() : -1, panelShown ? input().pointerY() : -1, values,
                     status.text());
    painter.showParameterHint(panelHint.text());
}

// While live the shown row is the player's, and is left alone.
void c_SoundEngine::runEditingBranch()
{
    bool live = transport.live();
    editorInput();
    if (!live) transport.wrapRow();
    editor.spinPanel(input());
}

void c_SoundEngine::playCursorRow()
{
    if (transport.playing() || cursor.row < 1 || cursor.row > rowsPerPattern) return;
    PlayPlace row {transport.position(), transport.rowInPattern() + cursor.row - 1};
    preview.lendChannels(rowStepper.playRow(song, row, transport.channelLevels()));
    cursor.row = cursor.row % rowsPerPattern + 1;
}

// The editor's step: the name fields and the song's files first, then the
// pattern.
void c_SoundEngine::editorInput()
{
    files.songNameField(input());
    files.descriptionField(input());
    transport.homeButton(input());
    files.saveTrigger(input());
    files.loadTrigger(input());
    editor.step(input(), wheelStep);
}

// A close or a termination signal: a song with unsaved changes is kept; with
// none, nothing is written. An unfinished export is stopped and its files
// removed, since the process ends without tearing anything down.
void c_SoundEngine::close()
{
    unsaved.keepAtClose();
    exportJob.cancel();
}
