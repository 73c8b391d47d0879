// The tracker screen's geometry in window units: the rectangles it fills,
// where its texts stand, its rows and columns, and the mouse buttons. The
// drawing and the click tests read these; only the panel rows' table
// (panel_rows.cpp) keeps its rows' heights beside their fields.
#pragma once

#include <cstddef>

// A rectangle as the drawing takes it: a corner and a size.
struct ScreenRect {
    float x, y, width, height;
};

// Where a text's first cell starts.
struct ScreenPoint {
    float x, y;
};

namespace layout {

constexpr int windowWidth = 640;
constexpr int windowHeight = 475;
// One font cell: across for a glyph, down for a grid row or an overlay line.
constexpr float glyphAdvance = 11;
constexpr float rowHeight = 12;

// Filled in this order, each over the last: the frame (the whole window), the
// black behind the grid and the position list, the bar between them and the
// mark behind the current position's entry.
constexpr ScreenRect frame {0, 0, windowWidth, windowHeight};
constexpr ScreenRect gridBack {2, 14, 380, 385};
constexpr ScreenRect gridDivider {303, 14, 2, 387};
constexpr ScreenRect positionMark {305, 14, 77, 12};
constexpr float gridLeft = gridBack.x;
constexpr float gridRight = gridDivider.x;

// The grid's rows, counted from 1 as the cursor counts them: a row's text,
// and the cursor bar, the block and the play marker a little below it.
constexpr float rowTextY(int row) { return rowHeight * static_cast<float>(row); }
constexpr float rowBarY(int row) { return rowTextY(row) + 2; }
constexpr float cursorBarLeft = 0;
// The text cursor in the grid steps three cells a column.
constexpr float cursorColumnAdvance = 3 * glyphAdvance;
// A marked block covers one channel's cells.
constexpr float blockLeft[4] = {33, 99, 165, 231};
constexpr float blockWidth = 72;
constexpr float positionListX = 297;

// The title bar: the column headings and the status text over them.
constexpr ScreenRect titleBar {2, 0, windowWidth, 14};
constexpr ScreenPoint titleText {0, -1};
constexpr float titleBarBottom = titleBar.y + titleBar.height;
constexpr size_t statusRoom = 15;  // cells right of the "Status: " label

// The row of channel switches and the follow switch below the grid.
constexpr ScreenRect switchRowBack {4, 408, 380, 16};
constexpr ScreenPoint switchRowText {0, 408};

// The transport's label over the PLAY and HOME buttons; its eraser reaches
// past the window's right edge.
constexpr ScreenRect transportLabelBack {520, 323, 570, 16};
constexpr ScreenPoint transportLabel {520, 323};

// The four level meters stand on a base line and grow up.
constexpr float meterLeft = 407;
constexpr float meterSpacing = 22;
constexpr float meterBase = 348;
constexpr float meterWidth = 16;
constexpr float meterHeight = 64;

// The channel scopes, where they replace the meters: two by two between the
// parameter lines and OCT, channels 1 and 2 above 3 and 4. Each is a box of
// the grid's colour with its trace, one column a unit, in its middle.
constexpr float scopesLeft = 390;
constexpr float scopesTop = 281;
constexpr float scopeWidth = 60;
constexpr float scopeHeight = 35;
constexpr float scopeGap = 2;
constexpr ScreenRect scopeBox(int channel)
{
    return {scopesLeft + (scopeWidth + scopeGap) * static_cast<float>(channel % 2),
            scopesTop + (scopeHeight + scopeGap) * static_cast<float>(channel / 2), scopeWidth, scopeHeight};
}

// The panel right of the grid. Its parameter lines start at the navigation
// row's column; the spinners' buttons stand in two columns, the second digit
// of ARP two buttons right of the instrument column.
constexpr ScreenPoint navigationRow {385, 12};
constexpr float parameterTextX = navigationRow.x;
constexpr float settingsSpinnersX = 473;
constexpr float instrumentSpinnersX = 561;
constexpr float secondDigitSpinnersX = instrumentSpinnersX + 32;
constexpr float spinnerButtonWidth = 16;
// A spinner button's top and bottom, below its row's y.
constexpr float spinnerTop = 2;
constexpr float spinnerBottom = 14;
// The words on the buttons right of the meters, and the logo above the
// description.
constexpr float menuColumnX = 520;
constexpr float editUndoLabelY = 343;
constexpr float copyBlockLabelY = 363;
constexpr float pasteBlockLabelY = 383;
constexpr float logoX = 425;
constexpr float logoTop = 40;
constexpr ScreenPoint descriptionLabel {442, 106};
constexpr ScreenPoint loadSaveLabel {391, 441};
constexpr ScreenPoint layoutLine {menuColumnX, 440};

// The two text fields: the black box, the text in it and the row where its
// text cursor stands (the cursor's leading blank starts it one cell left of
// the text's own column).
constexpr ScreenRect descriptionBox {394, 122, 236, 18};
constexpr ScreenPoint descriptionText {396, 123};
constexpr float descriptionCaretX = descriptionText.x - glyphAdvance;
constexpr ScreenRect songNameBox {4, 440, 385, 18};
constexpr ScreenPoint songNameText {0, 441};

} // namespace layout

struct ButtonRect {
    float left, right, top, bottom;

    constexpr bool contains(float x, float y) const { return left < x && x < right && top < y && y < bottom; }
};

namespace buttons {

constexpr ButtonRect channelSwitches[4] = {
    {44, 98, 410, 426}, {110, 164, 410, 426}, {176, 230, 410, 426}, {242, 296, 410, 426}};
constexpr ButtonRect follow {308, 362, 410, 426};
// A channel's level meter, whole (its empty box too), and its scope.
constexpr ButtonRect meters[4] = {
    {407, 423, 284, 348}, {429, 445, 284, 348}, {451, 467, 284, 348}, {473, 489, 284, 348}};
constexpr ButtonRect scopeArea(int channel)
{
    ScreenRect box = layout::scopeBox(channel);
    return {box.x, box.x + box.width, box.y, box.y + box.height};
}
constexpr ButtonRect scopes[4] = {scopeArea(0), scopeArea(1), scopeArea(2), scopeArea(3)};
// Both halves of the "LAYOUT" label switch the layout; likewise for the two
// halves of "COPYBLOCK" and "PASTE@POS".
constexpr ButtonRect layout[2] = {{516, 570, 442, 458}, {570, 624, 442, 458}};
constexpr ButtonRect edit {516, 570, 338, 354};
constexpr ButtonRect undo {570, 624, 338, 354};
constexpr ButtonRect play {516, 570, 320, 336};
constexpr ButtonRect home {570, 624, 320, 336};
constexpr ButtonRect insertPosition {385, 417, 26, 38};
constexpr ButtonRect deletePosition {385, 417, 38, 50};
constexpr ButtonRect songNameField {0, 380, 443, 457};
constexpr ButtonRect descriptionField {396, 776, 122, 136};
constexpr ButtonRect load {387, 441, 442, 458};
constexpr ButtonRect save {441, 495, 442, 458};
constexpr ButtonRect copyBlock[2] = {{516, 570, 361, 377}, {570, 624, 361, 377}};
constexpr ButtonRect pasteBlock[2] = {{516, 570, 381, 397}, {570, 624, 381, 397}};

// The block-letter logo: a click opens the key help.
constexpr ButtonRect logo {425, 590, 40, 100};

} // namespace buttons

// The area the song list and the key help cover, the pattern grid and the
// position list, and how many font cells fit across it.
constexpr ButtonRect overlayArea {layout::gridBack.x, layout::gridBack.x + layout::gridBack.width, layout::gridBack.y,
                                  layout::gridBack.y + layout::gridBack.height};
// Overlay lines are grid rows: line 0 stands on grid row 1.
constexpr float overlayLineY(int line) { return layout::rowTextY(line + 1); }
constexpr int overlayColumns = 34;
static_assert(overlayColumns * layout::glyphAdvance <= layout::gridBack.width, "the overlay's lines fit its area");
