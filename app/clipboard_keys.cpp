#include "app/sound_engine.h"

#include "app/pattern_text.h"
#include "app/status_texts.h"
#include "host/input_device.h"

#include <algorithm>
#include <utility>

// ---- Pattern text on the system clipboard (Ctrl+C, Ctrl+X, Ctrl+V) ----

// The marked rows, or the cursor row while nothing is marked: the first and
// the last row, counted from 0.
std::pair<int, int> c_SoundEngine::copiedRows() const
{
    auto inPattern = [](int row) { return std::clamp(row, 0, rowsPerPattern - 1); };
    if (!blockState) return {inPattern(cursorRow - 1), inPattern(cursorRow - 1)};
    int start = blockStart;
    int end = blockEnd - 1;  // the row the cursor marks up to
    return {inPattern(std::min(start, end)), inPattern(std::max(start, end))};
}

ClipCell c_SoundEngine::clipCellAt(int channel, int index) const
{
    auto at = [&](int part) { return patternColumns[channelColumn(channel, part)][index]; };
    return ClipCell {at(0), at(1), at(2), at(3)};
}

// Copying ends a marking, as F9 does.
void c_SoundEngine::copyRows(int firstChannel, int lastChannel)
{
    auto [first, last] = copiedRows();
    std::vector<ClipRow> rows;
    for (int row = first; row <= last; ++row) {
        ClipRow& cells = rows.emplace_back();
        for (int channel = firstChannel; channel <= lastChannel; ++channel)
            cells.push_back(clipCellAt(channel, viewBase() + row));
    }
    input().setClipboardText(writePatternText(rows));
    blockState = false;
}

void c_SoundEngine::copyChannelRows() { copyRows(cursorChannel(), cursorChannel()); }

void c_SoundEngine::copyAllChannelRows() { copyRows(1, channelCount); }

// The copied cells become blank, as one undo step.
void c_SoundEngine::cutChannelRows()
{
    if (!patternEditable()) return;
    auto [first, last] = copiedRows();
    copyChannelRows();
    const ClipCell blank {U'.', U'0', U'0', U'0'};
    bool changed = false;
    for (int row = first; row <= last; ++row) changed |= pasteCell(cursorChannel(), viewBase() + row, blank, false);
    if (changed) takeUndoSnapshot();
}

void c_SoundEngine::pastePatternText() { pasteText(false); }

void c_SoundEngine::mixPastePatternText() { pasteText(true); }

bool c_SoundEngine::patternEditable() const { return transportState != statePlaying && !textFieldActive(); }

// From the cursor row and channel down and to the right, never below the
// last row or past the fourth channel; the whole paste is one undo step.
void c_SoundEngine::pasteText(bool onlyIntoEmpty)
{
    if (!patternEditable()) return;
    std::optional<std::vector<ClipRow>> rows = readPatternText(input().clipboardText(), {octave, currentInstrument});
    if (!rows) {
        statusText = statusNoPatternText;
        return;
    }
    // A note entered on the last row leaves the cursor below it until the next step.
    if (cursorRow > rowsPerPattern) cursorRow = 1;
    bool changed = false;
    for (size_t k = 0; k < rows->size() && cursorRow + static_cast<int>(k) <= rowsPerPattern; ++k) {
        const ClipRow& cells = (*rows)[k];
        int index = viewBase() + cursorRow - 1 + static_cast<int>(k);
        for (size_t j = 0; j < cells.size() && cursorChannel() + static_cast<int>(j) <= channelCount; ++j)
            changed |= pasteCell(cursorChannel() + static_cast<int>(j), index, cells[j], onlyIntoEmpty);
    }
    if (changed) takeUndoSnapshot();
}

// Writes the columns the cell gives; a mix-paste only into a cell with no
// note and no volume. True when a character changed.
bool c_SoundEngine::pasteCell(int channel, int index, const ClipCell& cell, bool onlyIntoEmpty)
{
    const ClipCell there = clipCellAt(channel, index);
    if (onlyIntoEmpty && (there.note != U'.' || there.volume != U'0')) return false;
    const char32_t parts[] = {cell.note, cell.volume, cell.instrument, cell.octave};
    const char32_t before[] = {there.note, there.volume, there.instrument, there.octave};
    bool changed = false;
    for (int part = 0; part < 4; ++part) {
        if (!parts[part] || parts[part] == before[part]) continue;
        setCell(channelColumn(channel, part), index, parts[part]);
        changed = true;
    }
    return changed;
}
