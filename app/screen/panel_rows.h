// The rows of the song settings and the instrument panel: where each one's
// minus and plus buttons stand, the range they keep its value in, the field
// they change and the line that shows it. The spinners and the panel's
// drawing both read this table.
#pragma once

#include "app/editing/note_cursor.h"
#include "song/song_model.h"

#include <array>

// What the rows change: the song, the entry octave and instrument, and the
// current position's pattern.
struct PanelValues {
    Song& song;
    NoteCursor& cursor;
    int position;
};

struct PanelRow {
    // Drawn at the left of the panel with the value as two hex digits; null
    // for a value that another row's line shows, or that has no line.
    const char32_t* label;
    // The minus button's corner; plus stands 16 units right of it.
    float x;
    float y;
    int minimum;
    int maximum;
    int (*read)(const PanelValues&);
    void (*write)(PanelValues&, int);
    // What the line shows, when that is not the value itself.
    int (*shown)(const PanelValues&);
    bool editsSong;  // false for the entry settings, which the song file does not keep
    bool drawsFace;  // false where the navigation row's image holds the buttons
};

constexpr int panelRowCount = 15;

// In the order the spinners run: the instrument number is chosen before its
// slots are read.
extern const std::array<PanelRow, panelRowCount> panelRows;

// The WAV row, whose values past 7 are the song's own waves.
constexpr size_t waveRow = 4;

// Whether a row offers a value of its range: every value, but for WAV only
// 1..7 and the own waves the song has.
bool rowOffers(const PanelRow& row, const PanelValues& values, int value);

// The value a row's line shows.
int shownValue(const PanelRow& row, const PanelValues& values);
