#include "app/screen/screen_painter.h"

#include "app/files/song_files.h"
#include "app/keys/note_keys.h"
#include "app/playing/transport.h"

#include "app/editing/cell_text.h"
#include "app/screen/panel_rows.h"
#include "app/screen/screen_colours.h"
#include "app/screen/screen_fill.h"
#include "app/screen/screen_layout.h"
#include "graphics/drawing.h"
#include "graphics/font.h"
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
constexpr float logoLine(int line) { return layout::logoTop + layout::rowHeight * static_cast<float>(line); }

constexpr PlacedText panelWords[] = {
    {U"LOAD SAVE", layout::loadSaveLabel.x, layout::loadSaveLabel.y},
    {U"EDIT UNDO", layout::menuColumnX, layout::editUndoLabelY},
    {U"COPYBLOCK", layout::menuColumnX, layout::copyBlockLabelY},
    {U"PASTE@POS", layout::menuColumnX, layout::pasteBlockLabelY},
    {U"[ [ [[[ [ [ [[[", layout::logoX, logoLine(0)},
    {U"[ [ [ [ [ [ [ [", layout::logoX, logoLine(1)},
    {U"[[  [ [ [ [ [ [", layout::logoX, logoLine(2)},
    {U"[ [ [ [  [  [ [", layout::logoX, logoLine(3)},
    {U"[ [ [[[  [  [[[", layout::logoX, logoLine(4)},
    {U"Description:", layout::descriptionLabel.x, layout::descriptionLabel.y},
};

} // namespace

void ScreenPainter::composePanel(BodyView& view) const
{
    PanelValues values {song, cursor, transport.position()};
    size_t line = 0;
    for (const PanelRow& row : panelRows) {
        if (row.label) view.parameterLines[line++].assign(row.label).append(byteHex(shownValue(row, values)));
    }
    view.description = song.instrumentDescriptions[cursor.instrument];
    view.layoutLine.assign(U"LAYOUT ").append(keys.layoutText());
    // A name from the song list can be longer than a typed one; it is cut
    // where the name box ends, before the LOAD label.
    view.songNameLine.assign(U" ").append(identity.songName, 0, shownNameLength);
    composeTextCursor(view);
}

// " [" marks where the next character goes (text fields) or the cell under
// the cursor.
void ScreenPainter::composeTextCursor(BodyView& view) const
{
    using layout::glyphAdvance;
    CaretPlace description {true, static_cast<float>(view.description.size()) * glyphAdvance + layout::descriptionCaretX,
                            layout::descriptionText.y};
    view.carets = {};
    if (files.editingSongName()) {
        float nameEnd = static_cast<float>(std::min(identity.songName.size(), shownNameLength)) * glyphAdvance;
        view.carets[0] = {true, nameEnd + layout::songNameText.x, layout::songNameText.y};
        if (files.editingDescription()) view.carets[1] = description;
    } else if (files.editingDescription()) {
        view.carets[0] = description;
    } else {
        view.carets[0] = {true, layout::cursorColumnAdvance * static_cast<float>(cursor.column), layout::rowTextY(cursor.row)};
    }
}

void ScreenPainter::drawPanelTexts(const BodyView& view)
{
    tint(theme_.text);
    for (const PlacedText& word : panelWords) drawString(word.text, word.x, word.y);
    tint(theme_.grid);
    fillRect(layout::descriptionBox);
    fillRect(layout::songNameBox);
    tint(theme_.description);
    drawString(view.description, layout::descriptionText.x, layout::descriptionText.y);
    tint(theme_.text);
    size_t line = 0;
    for (const PanelRow& row : panelRows) {
        if (row.label) drawString(view.parameterLines[line++], layout::parameterTextX, row.y);
    }
    drawString(view.layoutLine, layout::layoutLine.x, layout::layoutLine.y);
    drawString(view.songNameLine, layout::songNameText.x, layout::songNameText.y);
}

// The text cursor is drawn before the grid text, so it stands behind it.
void ScreenPainter::drawTextCursor(const BodyView& view)
{
    tint(theme_.caret);
    for (const CaretPlace& caret : view.carets) {
        if (caret.shown) drawString(U" [", caret.x, caret.y);
    }
}

void ScreenPainter::drawButtonImages()
{
    tint(colours::white);
    if (buttonImage) {
        for (const PanelRow& row : panelRows) {
            if (row.drawsFace) drawImageFrame(buttonImage, row.x, row.y, 0);
        }
    }
    if (navRowImage) drawImageFrame(navRowImage, layout::navigationRow.x, layout::navigationRow.y, 0);
}

void ScreenPainter::loadImages()
{
    fontImage = loadAsciiStripFont(U"zukafont.png", false);
    selectFont(fontImage);
    buttonImage = loadImageSingle(U"button1.png", 0);
    navRowImage = loadImageSingle(U"button_navrow.png", 0);
}
