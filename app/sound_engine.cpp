#include "app/sound_engine.h"

#include "audio/sound.h"
#include "graphics/font.h"
#include "player/kovo_play.h"

c_SoundEngine::c_SoundEngine() = default;
c_SoundEngine::~c_SoundEngine() = default;

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

// STUB hooks until start-up, update and screen exist.
void c_SoundEngine::create() { setUpdateRate(50); }
void c_SoundEngine::update() {}
void c_SoundEngine::render() {}
