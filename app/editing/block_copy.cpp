#include "app/editing/pattern_editor.h"

#include "app/keys/user_input.h"
#include "app/playing/transport.h"

#include <algorithm>

namespace {
constexpr size_t clipboardRows = 33;
} // namespace

// Shift starts or cancels a marking; the copy trigger flips the marking and
// copies from its first row, so Shift, cursor down, F9 copies a block. A
// Shift pressed while Control is held belongs to a Control+Shift shortcut.
void PatternEditor::blockMarking(const c_InputDevice& input)
{
    if (input.hitCount(keyShift) > input.hitCountWith(keyShift, modifierControl)) {
        block_.marking = !block_.marking;
        block_.start = block_.marking ? cursor.row - 1 : 0;
        block_.end = block_.marking ? cursor.row : 0;
    } else if (block_.marking) {
        block_.end = cursor.row;
    }
    if (!pressed(input, keyF9) && !clickedAny(input, buttons::copyBlock)) return;
    block_.marking = !block_.marking;
    size_t start = static_cast<size_t>(std::clamp(transport.viewBase() + block_.start, 0, columnLength));
    for (int j = 0; j < 4; ++j) clipboard[j] = song.patternColumns[channelColumn(cursor.channel(), j)].substr(start, clipboardRows);
}

// Writes the block from the cursor row down, never below the last row and
// never into another channel; rows the clipboard has no character for stay.
void PatternEditor::blockPaste(const c_InputDevice& input)
{
    if (!pressed(input, keyF10) && !clickedAny(input, buttons::pasteBlock)) return;
    if (block_.end == 0) block_.end = 31;
    int rows = block_.end - block_.start;
    for (int k = 0; k <= rowsPerPattern - cursor.row && k < rows; ++k) {
        for (int j = 0; j < 4; ++j) {
            if (k < static_cast<int>(clipboard[j].size()))
                setCell(channelColumn(cursor.channel(), j), transport.viewBase() + cursor.row - 1 + k, clipboard[j][k]);
        }
    }
}

void PatternEditor::toggleLoop()
{
    if (block_.marking) {
        transport.toggleLoop(block_.start, std::max(block_.start, block_.end - 1));
    } else {
        transport.toggleLoop(0, rowsPerPattern - 1);
    }
}
