#include "app/sound_engine.h"

namespace {
int nextSlot(int slot) { return (slot + 1) % undoSlotCount; }
int previousSlot(int slot) { return (slot + undoSlotCount - 1) % undoSlotCount; }
} // namespace

// A new snapshot drops every undone one (no redo past an edit) and, once the
// ring is full, the oldest.
void c_SoundEngine::takeUndoSnapshot(bool reset)
{
    if (reset) {
        undoSlot = undoOldest = 1;
    } else {
        undoSlot = nextSlot(undoSlot);
        if (undoSlot == undoOldest) undoOldest = nextSlot(undoOldest);
        undoneLoad.reset();
    }
    undoNewest = undoSlot;
    for (int column = 0; column < columnCount; ++column) undoRing[column][undoSlot] = patternColumns[column];
}

// At the oldest snapshot held this only brings it back: edits that take no
// snapshot (volume digits, paste) are undone that way too. Once it is back,
// the step before it is the song a LOAD replaced, if there was one.
void c_SoundEngine::restoreUndoSnapshot()
{
    if (undoSlot == undoOldest && songBeforeLoad && columnsMatchUndoSlot()) {
        undoneLoad = std::make_unique<EditorSong>(editorSong());
        takeEditorSong(std::move(*songBeforeLoad));
        songBeforeLoad.reset();
        return;
    }
    if (undoSlot != undoOldest) undoSlot = previousSlot(undoSlot);
    copyUndoSlot();
}

// Past the newest snapshot of a song whose load was undone, the load again.
void c_SoundEngine::redoUndoSnapshot()
{
    if (undoSlot == undoNewest && undoneLoad) {
        songBeforeLoad = std::make_unique<EditorSong>(editorSong());
        takeEditorSong(std::move(*undoneLoad));
        undoneLoad.reset();
        return;
    }
    if (undoSlot == undoNewest) return;
    undoSlot = nextSlot(undoSlot);
    copyUndoSlot();
}

bool c_SoundEngine::columnsMatchUndoSlot() const
{
    for (int column = 0; column < columnCount; ++column)
        if (patternColumns[column] != undoRing[column][undoSlot]) return false;
    return true;
}

EditorSong c_SoundEngine::editorSong() const
{
    return EditorSong {static_cast<const Song&>(*this), undoRing, undoSlot, undoOldest, undoNewest,
                       songName, songFilePath, songChanged};
}

// A song a LOAD replaced, or the loaded one again, with its own undo steps,
// name and file, shown from its start. Its unsaved changes are unsaved still.
void c_SoundEngine::takeEditorSong(EditorSong&& song)
{
    static_cast<Song&>(*this) = std::move(song.song);
    undoRing = std::move(song.undoRing);
    undoSlot = song.undoSlot;
    undoOldest = song.undoOldest;
    undoNewest = song.undoNewest;
    songName = std::move(song.songName);
    songFilePath = std::move(song.songFilePath);
    songChanged = song.songChanged;
    recoveryStale = songChanged;
    recoveryIsCurrentSong = recoveryHolds == songFileFullPath();
    rowInPattern = 0;
    currentPosition = 0;
    patternBaseRow = positions[0] * rowsPerPattern;
}

void c_SoundEngine::copyUndoSlot()
{
    for (int column = 0; column < columnCount; ++column) patternColumns[column] = undoRing[column][undoSlot];
    markSongChanged();
}
