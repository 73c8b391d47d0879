#include "app/sound_engine.h"

void c_SoundEngine::takeUndoSnapshot(bool reset)
{
    undoSlot = reset ? 1 : (undoSlot + 1) % undoSlotCount;
    for (int column = 0; column < columnCount; ++column) undoRing[column][undoSlot] = patternColumns[column];
}

void c_SoundEngine::restoreUndoSnapshot()
{
    undoSlot = undoSlot <= 1 ? 1 : undoSlot - 1;
    for (int column = 0; column < columnCount; ++column) patternColumns[column] = undoRing[column][undoSlot];
}
