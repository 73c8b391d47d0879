// The waveform editor over the grid (Ctrl+W): the current instrument's wave
// 64 columns wide, drawn with the mouse, started from a shape or a stock
// wave, or taken from a single-cycle WAV file of the waves folder or a typed
// path. A stock wave is edited as a copy in the song's first free own slot,
// which the instrument then uses; each stroke, shape or import is one undo
// step. Space holds a note that sounds the wave as it is drawn.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/files/song_list.h"
#include "app/screen/screen_layout.h"
#include "song/own_waves.h"
#include "song/song_model.h"
#include "song/waveform_table.h"

#include <array>
#include <optional>
#include <string>

class c_InputDevice;
class NotePreview;
class StatusRow;
class UndoHistory;

// Where the wave is drawn and drawn on: 64 columns of 5 pixels.
constexpr float waveColumnWidth = 5;
constexpr ButtonRect waveBox {32, 32 + waveColumnWidth * ownWaveFrames, 38, 290};

constexpr char32_t statusWaveImported[] = U"Wave Imported...";

// The waves folder, $XDG_DATA_HOME/kovo-tracker/waves; empty without a home.
std::string userWavesFolder();

// The wave file names in a folder (a real path), as list entries.
std::vector<SongEntry> readWaveEntries(const std::string& folder);

// The first 64 frames of a stock waveform's file, read as the program reads
// it; silence when it cannot be read.
OwnWave stockWave(int waveformIndex);

class WaveEditor {
public:
    WaveEditor(Song& song, const NoteCursor& cursor, UndoHistory& undo, NotePreview& preview, StatusRow& status);

    void open();
    void close();
    // One step of keys and mouse; true when anything shown changed. While
    // the song plays its player has the channels, and no note is held.
    bool input(c_InputDevice& input, bool songPlaying);

    // The wave as the instrument plays it now, and its WAV value.
    OwnWave shownWave() const;
    int waveValue() const;
    // "WAV 08 own: SINE", "WAV 01 SQUARE: stock, 1st wave".
    String title() const;

    // The WAV file list is shown instead of the wave.
    bool importing() const { return importing_; }
    const SongList& waveFiles() const { return waveList; }
    // The find line: a name to narrow the list, or a path.
    const String& typed() const { return typedPath; }
    bool holdsNote() const { return noteHeld; }

private:
    struct Stroke {
        OwnWaves wavesBefore;
        int valueBefore = 0;
        OwnWave startWave {};
        int lastColumn = 0;
        int16_t lastValue = 0;
        bool line = false;
    };

    bool editInput(c_InputDevice& input);
    bool importInput(c_InputDevice& input);
    void startImport();
    void importChosen();
    bool strokeInput(c_InputDevice& input);
    // Puts a whole new wave in as one undo step.
    void takeWave(const OwnWave& wave);
    // What the title calls an own wave: the shape, stock wave or file it is.
    String ownWaveName(const OwnWave& wave) const;
    const OwnWave& cachedStock(int waveformIndex) const;
    // Into the song without an undo step; false when no slot is free.
    bool placeWave(const OwnWave& wave);
    void takeUndoStep(const OwnWaves& wavesBefore, int valueBefore);
    void setWaveValue(int value);

    Song& song;
    const NoteCursor& cursor;
    UndoHistory& undo;
    NotePreview& preview;
    StatusRow& status;
    bool importing_ = false;
    SongList waveList {26};
    String typedPath;
    bool noteHeld = false;
    std::optional<Stroke> stroke;
    mutable std::array<std::optional<OwnWave>, waveformCount> stockWaves;  // read once
    // The files imported in this session, by the wave they gave.
    std::vector<std::pair<OwnWave, String>> importedNames;
};
