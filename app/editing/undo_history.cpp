#include "app/editing/undo_history.h"

#include "app/files/unsaved_work.h"
#include "app/playing/transport.h"

#include <algorithm>

namespace {
int nextSlot(int slot) { return (slot + 1) % undoSlotCount; }
int previousSlot(int slot) { return (slot + undoSlotCount - 1) % undoSlotCount; }
} // namespace

UndoHistory::UndoHistory(Song& song, SongIdentity& identity, UnsavedWork& unsaved, Transport& transport)
    : song(song), identity(identity), unsaved(unsaved), transport(transport)
{
}

// The blank song is the oldest state, as a loaded one is.
void UndoHistory::startBlank()
{
    for (int column = 0; column < columnCount; ++column) {
        for (int slot = 0; slot < undoSlotCount; ++slot)
            undoRing[column][slot] = slot < undoSlotCount / 2 ? song.patternColumns[column] : PatternColumn();
    }
    takeUndoSnapshot(true);
}

// A new snapshot drops every undone one (no redo past an edit) and, once the
// ring is full, the oldest.
void UndoHistory::takeUndoSnapshot(bool reset)
{
    if (reset) {
        undoSlot = undoOldest = 1;
        instrumentSteps = {};
        waveSteps = {};
    } else {
        undoSlot = nextSlot(undoSlot);
        if (undoSlot == undoOldest) undoOldest = nextSlot(undoOldest);
        undoneLoad.reset();
    }
    undoNewest = undoSlot;
    instrumentSteps[undoSlot].reset();
    waveSteps[undoSlot].reset();
    for (int column = 0; column < columnCount; ++column) undoRing[column][undoSlot] = song.patternColumns[column];
}

// At the oldest snapshot held this only brings it back: edits that take no
// snapshot (volume digits, paste) are undone that way too. Once it is back,
// the step before it is the song a LOAD replaced, if there was one.
void UndoHistory::restoreUndoSnapshot()
{
    if (undoSlot == undoOldest && songBeforeLoad && columnsMatchUndoSlot()) {
        undoneLoad = std::make_unique<EditorSong>(editorSong());
        takeEditorSong(std::move(*songBeforeLoad));
        songBeforeLoad.reset();
        return;
    }
    if (undoSlot != undoOldest) {
        applySlotChange(undoSlot, true);
        undoSlot = previousSlot(undoSlot);
    }
    copyUndoSlot();
}

// Past the newest snapshot of a song whose load was undone, the load again.
void UndoHistory::redoUndoSnapshot()
{
    if (undoSlot == undoNewest && undoneLoad) {
        songBeforeLoad = std::make_unique<EditorSong>(editorSong());
        takeEditorSong(std::move(*undoneLoad));
        undoneLoad.reset();
        return;
    }
    if (undoSlot == undoNewest) return;
    undoSlot = nextSlot(undoSlot);
    applySlotChange(undoSlot, false);
    copyUndoSlot();
}

void UndoHistory::takeInstrumentStep(int instrument, const InstrumentPreset& before, const OwnWaves& wavesBefore)
{
    takeUndoSnapshot();
    instrumentSteps[undoSlot] = InstrumentStep {instrument, before, instrumentOfSong(song, instrument), wavesBefore, song.ownWaves};
    unsaved.markSongChanged();
}

void UndoHistory::takeWaveStep(int instrument, int valueBefore, const OwnWaves& before)
{
    takeUndoSnapshot();
    int valueAfter = instrumentSlot(song, instrument, slotWave);
    waveSteps[undoSlot] = WaveStep {instrument, valueBefore, valueAfter, before, song.ownWaves};
    unsaved.markSongChanged();
}

void UndoHistory::applySlotChange(int slot, bool undone)
{
    if (const auto& step = instrumentSteps[slot]) {
        // The waves first, so that the instrument's wave finds the slot it had.
        song.ownWaves = undone ? step->wavesBefore : step->wavesAfter;
        placeInstrument(song, step->instrument, undone ? step->before : step->after);
    }
    if (const auto& step = waveSteps[slot]) {
        song.ownWaves = undone ? step->before : step->after;
        song.instrumentParams[step->instrument * slotsPerInstrument + slotWave] =
            undone ? step->valueBefore : step->valueAfter;
    }
}

bool UndoHistory::columnsMatchUndoSlot() const
{
    for (int column = 0; column < columnCount; ++column)
        if (song.patternColumns[column] != undoRing[column][undoSlot]) return false;
    return true;
}

EditorSong UndoHistory::editorSong() const
{
    return EditorSong {song, undoRing, undoSlot, undoOldest, undoNewest,
                       identity.songName, identity.songFilePath, unsaved.songChanged(), instrumentSteps, waveSteps};
}

// A song a LOAD replaced, or the loaded one again, with its own undo steps,
// name and file, shown from its start. Its unsaved changes are unsaved still.
void UndoHistory::takeEditorSong(EditorSong&& other)
{
    song = std::move(other.song);
    undoRing = std::move(other.undoRing);
    instrumentSteps = std::move(other.instrumentSteps);
    waveSteps = std::move(other.waveSteps);
    undoSlot = other.undoSlot;
    undoOldest = other.undoOldest;
    undoNewest = other.undoNewest;
    identity.songName = std::move(other.songName);
    identity.songFilePath = std::move(other.songFilePath);
    unsaved.songSwapped(other.songChanged);
    transport.rewind();
    transport.showCurrentPattern();
}

// The first cell the step changes, where the cursor goes to show it.
void UndoHistory::showChangedCell()
{
    for (int column = 0; column < columnCount; ++column) {
        const PatternColumn& now = song.patternColumns[column];
        const PatternColumn& then = undoRing[column][undoSlot];
        if (now.sharesTextWith(then)) continue;
        const String& a = now.text();
        const String& b = then.text();
        auto [at, other] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
        if (at == a.end() && other == b.end()) continue;
        transport.showCell(column, static_cast<int>(at - a.begin()));
        return;
    }
}

void UndoHistory::copyUndoSlot()
{
    showChangedCell();
    for (int column = 0; column < columnCount; ++column) song.patternColumns[column] = undoRing[column][undoSlot];
    unsaved.markSongChanged();
}

// The song a load replaced is one undo step.
void UndoHistory::songLoaded(EditorSong before)
{
    songReplaced(std::move(before));
    unsaved.endUnsavedState(false);
}

void UndoHistory::songReplaced(EditorSong before)
{
    songBeforeLoad = std::make_unique<EditorSong>(std::move(before));
    undoneLoad.reset();
}

void UndoHistory::nameSongBefore(const String& songName, const String& songFilePath)
{
    if (!songBeforeLoad) return;
    songBeforeLoad->songName = songName;
    songBeforeLoad->songFilePath = songFilePath;
}
