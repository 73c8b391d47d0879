#include "app/editing/pattern_editor.h"

#include "app/files/unsaved_work.h"
#include "app/keys/user_input.h"
#include "app/playing/transport.h"
#include "app/screen/panel_rows.h"
#include "app/screen/screen_layout.h"

namespace {

// Into the row's range, down to the nearest value it offers.
int clampTo(const PanelRow& row, const PanelValues& values, int value)
{
    int clamped = value < row.minimum ? row.minimum : value > row.maximum ? row.maximum : value;
    while (clamped > row.minimum && !rowOffers(row, values, clamped)) --clamped;
    return clamped;
}

// The next value the row offers from value in the step's direction; value
// itself at the end of the range.
int stepped(const PanelRow& row, const PanelValues& values, int value, int step)
{
    for (int next = value + step; next >= row.minimum && next <= row.maximum; next += step)
        if (rowOffers(row, values, next)) return next;
    return value;
}

// A click on minus or plus moves the value one offered step inside its
// range; the range is enforced every step, clicked or not.
int spin(const c_InputDevice& input, const PanelRow& row, const PanelValues& values, int value)
{
    float plusX = row.x + layout::spinnerButtonWidth;
    float top = row.y + layout::spinnerTop;
    float bottom = row.y + layout::spinnerBottom;
    ButtonRect minus {row.x, plusX, top, bottom};
    ButtonRect plus {plusX, plusX + layout::spinnerButtonWidth, top, bottom};
    if (clicked(input, minus)) value = stepped(row, values, value, -1);
    if (clicked(input, plus)) value = stepped(row, values, value, 1);
    return clampTo(row, values, value);
}

} // namespace

void PatternEditor::spinPanel(const c_InputDevice& input)
{
    PanelValues values {song, cursor, transport.position()};
    for (const PanelRow& row : panelRows) {
        int value = row.read(values);
        int result = spin(input, row, values, value);
        // Only a click is the user's change; the clamp alone is not.
        if (row.editsSong && result != clampTo(row, values, value)) unsaved.markSongChanged();
        row.write(values, result);
    }
}
