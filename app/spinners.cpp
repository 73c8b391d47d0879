#include "app/pattern_editor.h"

#include "app/panel_rows.h"
#include "app/transport.h"
#include "app/unsaved_work.h"
#include "app/screen_layout.h"
#include "app/user_input.h"

namespace {

int clampTo(const PanelRow& row, int value)
{
    if (value < row.minimum) return row.minimum;
    return value > row.maximum ? row.maximum : value;
}

// A click on minus or plus moves the value one step inside its range; the
// range is enforced every step, clicked or not.
int spin(const c_InputDevice& input, const PanelRow& row, int value)
{
    float plusX = row.x + layout::spinnerButtonWidth;
    float top = row.y + layout::spinnerTop;
    float bottom = row.y + layout::spinnerBottom;
    ButtonRect minus {row.x, plusX, top, bottom};
    ButtonRect plus {plusX, plusX + layout::spinnerButtonWidth, top, bottom};
    if (clicked(input, minus) && value > row.minimum) value -= 1;
    if (clicked(input, plus) && value < row.maximum) value += 1;
    return clampTo(row, value);
}

} // namespace

void PatternEditor::spinPanel(const c_InputDevice& input)
{
    PanelValues values {song, cursor, transport.position()};
    for (const PanelRow& row : panelRows) {
        int value = row.read(values);
        int result = spin(input, row, value);
        // Only a click is the user's change; the clamp alone is not.
        if (row.editsSong && result != clampTo(row, value)) unsaved.markSongChanged();
        row.write(values, result);
    }
}
