#include "app/sound_engine.h"

#include "app/cell_text.h"
#include "app/panel_rows.h"
#include "app/screen_colours.h"
#include "graphics/font.h"
#include "graphics/drawing.h"
#include "graphics/graphics_context.h"
#include "graphics/image.h"

#include <algorithm>
#include <iterator>

namespace {

// Characters of the song name that fit in its box after the leading blank.
constexpr size_t shownNameLength = 34;

struct PlacedText {
    const char32_t* text;
    float x, y;
};

// Menu words, the logo (the name in block letters made of "[" glyphs) and the
// description label.
constexpr PlacedText panelWords[] = {
    {U"LOAD SAVE", 391, 441},
    {U"EDIT UNDO", 520, 343},
    {U"COPYBLOCK", 520, 363},
    {U"PASTE@POS", 520, 383},
    {U"[ [ [[[ [ [ [[[", 425, 40},
    {U"[ [ [ [ [ [ [ [", 425, 52},
    {U"[[  [ [ [ [ [ [", 425, 64},
    {U"[ [ [ [  [  [ [", 425, 76},
    {U"[ [ [[[  [  [[[", 425, 88},
    {U"Description:", 442, 106},
};

struct Point {
    float x, y;
};

constexpr Point navigationRow {385, 12};

constexpr float glyphAdvance = 11;

} // namespace

void c_SoundEngine::composePanel(BodyView& view) const
{
    size_t line = 0;
    for (const PanelRow& row : panelRows) {
        if (row.label) view.parameterLines[line++].assign(row.label).append(byteHex(shownValue(row, const_cast<c_SoundEngine*>(this)->panelValues())));
    }
    view.description = song.instrumentDescriptions[cursor.instrument];
    view.layoutLine.assign(U"LAYOUT ").append(keys.layoutText);
    // A name from the song list can be longer than a typed one; it is cut
    // where the name box ends, before the LOAD label.
    view.songNameLine.assign(U" ").append(identity.songName, 0, shownNameLength);
    composeTextCursor(view);
}

// " [" marks where the next character goes (text fields) or the cell under
// the cursor.
void c_SoundEngine::composeTextCursor(BodyView& view) const
{
    CaretPlace description {true, static_cast<float>(view.description.size()) * glyphAdvance + 385, 123};
    view.carets = {};
    if (files.songNameEditing) {
        view.carets[0] = {true, static_cast<float>(std::min(identity.songName.size(), shownNameLength)) * glyphAdvance, 441};
        if (files.descriptionEditing) view.carets[1] = description;
    } else if (files.descriptionEditing) {
        view.carets[0] = description;
    } else {
        view.carets[0] = {true, static_cast<float>(cursor.column * 33), static_cast<float>(cursor.row * 12)};
    }
}

void c_SoundEngine::drawPanelTexts(const BodyView& view)
{
    tint(colours::text);
    for (const PlacedText& word : panelWords) drawString(word.text, word.x, word.y);
    tint(colours::grid);
    fillRect(394, 122, 236, 18);
    fillRect(4, 440, 385, 18);
    tint(colours::description);
    drawString(view.description, 396, 123);
    tint(colours::text);
    size_t line = 0;
    for (const PanelRow& row : panelRows) {
        if (row.label) drawString(view.parameterLines[line++], 385, row.y);
    }
    drawString(view.layoutLine, 520, 440);
    drawString(view.songNameLine, 0, 441);
}

// The text cursor is drawn before the grid text, so it stands behind it.
void c_SoundEngine::drawTextCursor(const BodyView& view)
{
    tint(colours::caret);
    for (const CaretPlace& caret : view.carets) {
        if (caret.shown) drawString(U" [", caret.x, caret.y);
    }
}

void c_SoundEngine::drawButtonImages()
{
    tint(colours::white);
    if (buttonImage) {
        for (const PanelRow& row : panelRows) {
            if (row.drawsFace) drawImageFrame(buttonImage, row.x, row.y, 0);
        }
    }
    if (navRowImage) drawImageFrame(navRowImage, navigationRow.x, navigationRow.y, 0);
}
