#include "app/sound_engine.h"

#include "song/song_file.h"
#include "app/key_table.h"
#include "app/status_texts.h"
#include "app/user_input.h"
#include "audio/sound.h"
#include "player/kovo_play.h"

c_InputDevice& c_SoundEngine::input() { return *inputDevice(); }

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

void c_SoundEngine::stopAllChannels()
{
    for (int channel : {1, 2, 3, 4, 6, 5, 8, 7}) haltChannel(channel);
}

// One update step: the transport's switches, then the editor and the
// spinners while not playing, then the player while playing. While the song
// list or the key help is shown it takes the keys and the mouse instead,
// and the song plays on.
void c_SoundEngine::update()
{
    redrawCounter += 1;
    wheelStep = input().takeWheel();
    if (overlay != Overlay::none) {
        controlShortcuts();
        overlayInput();
    } else {
        switchChannels();
        toggleFollow();
        toggleLayout();
        toggleEditing();
        undoButton();
        controlShortcuts();
        playAtStart();
        togglePlayback();
        if (transportState != statePlaying) runEditingBranch();
    }
    patternBaseRow = positions[currentPosition] * rowsPerPattern;
    if (transportState == statePlaying) tickPlayback();
    tickAudition();
    keepRecoveryFresh();
    followExport();
    dropAheadPreview();
}

void c_SoundEngine::switchChannels()
{
    for (int n = 0; n < channelCount; ++n) {
        if (pressed(input(), keyF5 + n) || clicked(input(), buttons::channelSwitches[n]))
            channelLevels[n] = channelLevels[n] == 1.0f ? 0.0f : 1.0f;
    }
}

void c_SoundEngine::toggleFollow()
{
    if (!clicked(input(), buttons::follow)) return;
    followMode = !followMode;
}

void c_SoundEngine::toggleLayout()
{
    // While note keys go by place the keyboard's layout does not matter.
    if (!clickedAny(input(), buttons::layout) || noteKeysByPlace) return;
    layoutIndex = 1 - layoutIndex;
    showLayout();
}

void c_SoundEngine::toggleEditing()
{
    if (!pressed(input(), keySpace) && !clicked(input(), buttons::edit)) return;
    rowInPattern = 0;
    stopAllChannels();
    if (transportState == stateStandby) {
        transportState = stateEditing;
        statusText = statusEditing;
    } else {
        transportState = stateStandby;
        statusText = statusStandby;
    }
}

void c_SoundEngine::undoButton()
{
    if (clicked(input(), buttons::undo)) restoreUndoSnapshot();
}

// Every press counts: quick chords can bring two presses of one shortcut
// into a step. Over the song list or the help only the shortcuts meant for
// them act.
void c_SoundEngine::controlShortcuts()
{
    bool overlaid = overlay != Overlay::none;
    for (size_t slot = 0; slot < shortcutSlots; ++slot) {
        const ControlShortcut& shortcut = shortcutAt(slot);
        if (!shortcut.run || (overlaid && !shortcut.overOverlay)) continue;
        for (int n = shortcutPresses(input(), keyBindings, slot); n > 0; --n) (this->*shortcut.run)();
    }
}

void c_SoundEngine::togglePlayback()
{
    bool fromStart = pressed(input(), keyF1);
    if (!fromStart && !pressed(input(), keyF2) && !clicked(input(), buttons::play)) return;
    stopAllChannels();
    tickCounter = 0;
    if (fromStart) {
        rowInPattern = 0;
        currentPosition = 0;
    }
    if (transportState == statePlaying) {
        cursorRow = 1;
        rowInPattern = 0;
        transportState = stateStandby;
        statusText = statusStandby;
        return;
    }
    startPlayback();
}

// F1 on a song that is not playing.
void c_SoundEngine::startPlaybackFromStart()
{
    stopAllChannels();
    rowInPattern = 0;
    currentPosition = 0;
    startPlayback();
}

// The player gets its own copy of the song: the text tmp.dat is written
// with, taken from memory, so that neither a songs folder that cannot be
// written nor a second tracker writing tmp.dat changes what plays. tmp.dat
// is still written, as the hand-over others may read.
void c_SoundEngine::startPlayback()
{
    tickCounter = -1;
    saveHandOverSong(*this);
    player = std::make_shared<c_kovoPlay>();
    if (player->loadSongText(songText(*this)) == LoadOutcome::loaded) {
        player->tick = 0;
        player->row = 0;
        player->patternBaseRow = 0;
        stopAllChannels();
        player->position = currentPosition;
    }
    cursorRow = 1;
    rowInPattern = 0;
    transportState = statePlaying;
}

void c_SoundEngine::runEditingBranch()
{
    tickCounter = 0;
    editorInput();
    if (rowInPattern >= songLengthRows) rowInPattern = 0;
    if (rowInPattern < 0) rowInPattern = songLengthRows - rowsPerPattern;
    runSpinners();
}

void c_SoundEngine::tickPlayback()
{
    statusText = statusPlaying;
    advanceRowClock();
    if (!player) return;
    player->channelLevels = channelLevels;
    player->tickPlayer();
}

// The screen's view of the playing row. It knows nothing of pattern-end
// marks, so after a pattern that ends early it runs behind the player; kept
// that way on purpose, songs are laid out with it in mind.
void c_SoundEngine::advanceRowClock()
{
    if (tickCounter != speed) {
        tickCounter += 1;
        return;
    }
    rowInPattern += 1;
    if (rowInPattern == rowsPerPattern) {
        rowInPattern = 0;
        currentPosition += 1;
        // Equality test as in the player; past the last of the 256 positions
        // the clock wraps to the first, as the player does.
        if (currentPosition == songLengthRows / rowsPerPattern || currentPosition >= positionCount)
            currentPosition = 0;
    }
    patternBaseRow = positions[currentPosition] * rowsPerPattern;
    tickCounter = 1;
}
