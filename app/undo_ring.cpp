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
    }
    undoNewest = undoSlot;
    for (int column = 0; column < columnCount; ++column) undoRing[column][undoSlot] = patternColumns[column];
}

// At the oldest snapshot held this only brings it back: edits that take no
// snapshot (volume digits, paste) are undone that way too.
void c_SoundEngine::restoreUndoSnapshot()
{
    if (undoSlot != undoOldest) undoSlot = previousSlot(undoSlot);
    copyUndoSlot();
}

void c_SoundEngine::redoUndoSnapshot()
{
    if (undoSlot == undoNewest) return;
    undoSlot = nextSlot(undoSlot);
    copyUndoSlot();
}

void c_SoundEngine::copyUndoSlot()
{
    for (int column = 0; column < columnCount; ++column) patternColumns[column] = undoRing[column][undoSlot];
    markSongChanged();
}
