#include "app/pattern_editor.h"

#include "app/transport.h"
#include "app/user_input.h"

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
        blockState = !blockState;
        blockStart = blockState ? cursor.row - 1 : 0;
        blockEnd = blockState ? cursor.row : 0;
    } else if (blockState) {
        blockEnd = cursor.row;
    }
    if (!pressed(input, keyF9) && !clickedAny(input, buttons::copyBlock)) return;
    blockState = !blockState;
    size_t start = static_cast<size_t>(std::clamp(transport.viewBase() + blockStart, 0, columnLength));
    for (int j = 0; j < 4; ++j) clipboard[j] = song.patternColumns[channelColumn(cursor.channel(), j)].substr(start, clipboardRows);
}

// Writes the block from the cursor row down, never below the last row and
// never into another channel; rows the clipboard has no character for stay.
void PatternEditor::blockPaste(const c_InputDevice& input)
{
    if (!pressed(input, keyF10) && !clickedAny(input, buttons::pasteBlock)) return;
    if (blockEnd == 0) blockEnd = 31;
    int rows = blockEnd - blockStart;
    for (int k = 0; k <= rowsPerPattern - cursor.row && k < rows; ++k) {
        for (int j = 0; j < 4; ++j) {
            if (k < static_cast<int>(clipboard[j].size()))
                setCell(channelColumn(cursor.channel(), j), transport.viewBase() + cursor.row - 1 + k, clipboard[j][k]);
        }
    }
}
