// What each part of the tracker screen shows. The screen keeps the last view
// it drew of every part and draws a part again only when its view changes or
// when a part drawn before it has covered it; since drawing a view twice gives
// the same pixels, the picture stays what drawing everything would give.
#pragma once

#include "base/text.h"
#include "song/own_waves.h"
#include "song/song_model.h"

#include <array>
#include <optional>

// A text cursor " [" at a place, or none.
struct CaretPlace {
    bool shown = false;
    float x = 0, y = 0;
};

// Everything the screen body shows, composed before it is drawn.
struct BodyView {
    static constexpr int parameterLineCount = 13;

    std::array<String, rowsPerPattern> gridRows;
    std::array<String, rowsPerPattern> positionEntries;  // empty past the last position
    std::array<String, parameterLineCount> parameterLines;
    String description;
    String layoutLine;
    String songNameLine;
    int cursorBarRow = 0;  // 0: no bar (not editing)
    int blockChannel = 0;  // 0: no block marked
    int blockStart = 0;
    int blockRows = 0;
    std::array<CaretPlace, 2> carets;
};

bool operator==(const CaretPlace& a, const CaretPlace& b);
bool operator==(const BodyView& a, const BodyView& b);
inline bool operator!=(const BodyView& a, const BodyView& b) { return !(a == b); }

// What the song list or the key help shows over the grid and the position
// list: a line of text for each grid row.
struct OverlayView {
    enum Ink { text, title, heading, detail };
    std::array<String, rowsPerPattern> lines;
    std::array<Ink, rowsPerPattern> inks {};
    int highlightLine = -1;  // -1: no bar
    CaretPlace caret;
    std::optional<OwnWave> wave;  // the wave editor's wave, drawn large
};

bool operator==(const OverlayView& a, const OverlayView& b);

// The play marker: an eraser line in the grid's colour, then the marker line.
struct MarkerView {
    bool erases = false;
    float erasedY = 0;
    float markedY = 0;
};

bool operator==(const MarkerView& a, const MarkerView& b);

// The last view drawn of each part; a part whose view is not valid is drawn at
// its next chance.
struct ScreenRecord {
    BodyView body;
    bool bodyValid = false;
    MarkerView marker;
    bool markerValid = false;
    String titleBar;
    bool titleBarValid = false;
    String statusRow;
    bool statusRowValid = false;
    bool transportPlaying = false;
    bool transportValid = false;
    std::array<int, channelCount> meters {-1, -1, -1, -1};  // -1: not valid
    bool scopesValid = false;
    OverlayView overlay;
    bool overlayValid = false;

    // The body covers the whole window: everything drawn after it is gone.
    void bodyDrawn();
    void forgetAll();
};
