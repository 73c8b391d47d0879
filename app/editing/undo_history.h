// Undo and redo: snapshots of the pattern columns in a ring, and the song a
// LOAD replaced as the step before the loaded song's oldest snapshot.
#pragma once

#include "app/files/song_identity.h"
#include "song/instrument_file.h"
#include "song/song_model.h"

#include <array>
#include <memory>
#include <optional>

class Transport;
class UnsavedWork;

constexpr int undoSlotCount = 32;

using UndoRing = std::array<std::array<PatternColumn, undoSlotCount>, columnCount>;

// An instrument taken from the library into the song: undoing its snapshot
// puts the instrument back as it was, redoing it takes it in again. Other
// instrument changes (the spinners) take no undo step.
struct InstrumentStep {
    int instrument = 0;
    InstrumentPreset before, after;
    // The song's own waves around the step: a taken wave fills a slot.
    OwnWaves wavesBefore, wavesAfter;
};
using InstrumentSteps = std::array<std::optional<InstrumentStep>, undoSlotCount>;

// A wave edit: the song's own waves and the instrument's WAV value before and
// after it (an edit of a stock wave takes a free slot and sets WAV to it).
struct WaveStep {
    int instrument = 0;
    int valueBefore = 0, valueAfter = 0;
    OwnWaves before, after;
};
using WaveSteps = std::array<std::optional<WaveStep>, undoSlotCount>;

// Everything a LOAD replaces, kept so that Ctrl+Z can take the load back.
struct EditorSong {
    Song song;
    UndoRing undoRing;
    int undoSlot = 0, undoOldest = 0, undoNewest = 0;
    String songName;
    String songFilePath;
    bool songChanged = false;
    InstrumentSteps instrumentSteps;
    WaveSteps waveSteps;
};

class UndoHistory {
public:
    UndoHistory(Song& song, SongIdentity& identity, UnsavedWork& unsaved, Transport& transport);

    // The blank song's history: the first half of the ring holds it.
    void startBlank();
    // Copies the columns into the next undo slot; with reset, into slot 1,
    // which becomes the oldest reachable state.
    void takeUndoSnapshot(bool reset = false);
    // An undo step of its own for an instrument the song's slot took, which
    // was as before until now.
    void takeInstrumentStep(int instrument, const InstrumentPreset& before, const OwnWaves& wavesBefore);
    // An undo step of its own for a wave edit of the instrument, which had
    // the WAV value and the song the own waves given until now.
    void takeWaveStep(int instrument, int valueBefore, const OwnWaves& before);
    // Steps back one snapshot, never past the oldest one held, and restores it.
    void restoreUndoSnapshot();
    // Steps forward again over undone snapshots and restores that one.
    void redoUndoSnapshot();
    // The editor's song with its history, names and unsaved state.
    EditorSong editorSong() const;
    // A LOAD replaced the song given: that is one undo step now.
    void songLoaded(EditorSong before);

    // Another song took the editor's place (Ctrl+N): the song before is one
    // undo step back.
    void songReplaced(EditorSong before);
    // The names the song before the last load went by, when the load was
    // given the new ones first.
    void nameSongBefore(const String& songName, const String& songFilePath);

    // The snapshot shown, and the snapshots of every column by slot.
    int slot() const { return undoSlot; }
    const UndoRing& ring() const { return undoRing; }

private:
    void takeEditorSong(EditorSong&& song);
    bool columnsMatchUndoSlot() const;
    void showChangedCell();
    void copyUndoSlot();
    // The instrument or wave change of the undo slot, made again or undone.
    void applySlotChange(int slot, bool undone);

    Song& song;
    SongIdentity& identity;
    UnsavedWork& unsaved;
    Transport& transport;
    // Snapshots share the columns that did not change between them.
    UndoRing undoRing;
    InstrumentSteps instrumentSteps;  // by the undo slot that took the instrument
    WaveSteps waveSteps;              // by the undo slot that took the wave edit
    int undoSlot = 0;    // the snapshot shown
    int undoOldest = 0;  // the oldest snapshot still held
    int undoNewest = 0;  // the newest snapshot, the end of redo
    // The song a LOAD replaced: one undo step before the loaded song's
    // oldest snapshot. And the loaded song while that step is undone, for redo.
    std::unique_ptr<EditorSong> songBeforeLoad;
    std::unique_ptr<EditorSong> undoneLoad;
};
