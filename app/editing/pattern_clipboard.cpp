#include "app/editing/pattern_clipboard.h"

#include "app/editing/pattern_editor.h"
#include "app/editing/undo_history.h"
#include "app/playing/transport.h"
#include "app/screen/status_texts.h"
#include "host/input_device.h"

#include <algorithm>
#include <utility>

PatternClipboard::PatternClipboard(const Song& song, NoteCursor& cursor, const Transport& transport,
                                   PatternEditor& editor, UndoHistory& undo, StatusRow& status)
    : song(song), cursor(cursor), transport(transport), editor(editor), undo(undo), status(status)
{
}

// The marked rows, or the cursor row while nothing is marked: the first and
// the last row, counted from 0.
std::pair<int, int> PatternClipboard::copiedRows() const
{
    auto inPattern = [](int row) { return std::clamp(row, 0, rowsPerPattern - 1); };
    if (!editor.block().marking) return {inPattern(cursor.row - 1), inPattern(cursor.row - 1)};
    int start = editor.block().start;
    int end = editor.block().end - 1;  // the row the cursor marks up to
    return {inPattern(std::min(start, end)), inPattern(std::max(start, end))};
}

ClipCell PatternClipboard::clipCellAt(int channel, int index) const
{
    auto at = [&](int part) { return song.patternColumns[channelColumn(channel, part)][index]; };
    return ClipCell {at(0), at(1), at(2), at(3)};
}

// Copying ends a marking, as F9 does.
void PatternClipboard::copyRows(c_InputDevice& input, int firstChannel, int lastChannel)
{
    auto [first, last] = copiedRows();
    std::vector<ClipRow> rows;
    for (int row = first; row <= last; ++row) {
        ClipRow& cells = rows.emplace_back();
        for (int channel = firstChannel; channel <= lastChannel; ++channel)
            cells.push_back(clipCellAt(channel, transport.viewBase() + row));
    }
    input.setClipboardText(writePatternText(rows));
    editor.endMarking();
}

void PatternClipboard::copyChannelRows(c_InputDevice& input) { copyRows(input, cursor.channel(), cursor.channel()); }

void PatternClipboard::copyAllChannelRows(c_InputDevice& input) { copyRows(input, 1, channelCount); }

// The copied cells become blank, as one undo step.
void PatternClipboard::cutChannelRows(c_InputDevice& input)
{
    if (!editor.patternEditable()) return;
    auto [first, last] = copiedRows();
    copyChannelRows(input);
    const ClipCell blank {U'.', U'0', U'0', U'0'};
    bool changed = false;
    for (int row = first; row <= last; ++row) changed |= pasteCell(cursor.channel(), transport.viewBase() + row, blank, false);
    if (changed) undo.takeUndoSnapshot();
}

void PatternClipboard::pastePatternText(c_InputDevice& input) { askToPaste(input, false); }

void PatternClipboard::mixPastePatternText(c_InputDevice& input) { askToPaste(input, true); }

// The clipboard's owner is another program, which may answer late or never:
// the paste happens when its text comes, and the steps go on meanwhile. A
// second paste key while one is asked only changes its kind.
void PatternClipboard::askToPaste(c_InputDevice& input, bool onlyIntoEmpty)
{
    if (!editor.patternEditable()) return;
    mixAsked = onlyIntoEmpty;
    pasteAsked = true;
    input.requestClipboardText();
    followPaste(input);
}

void PatternClipboard::followPaste(c_InputDevice& input)
{
    if (!pasteAsked) return;
    std::optional<ClipboardAnswer> answer = input.takeClipboardText();
    if (!answer) return;
    pasteAsked = false;
    switch (answer->kind) {
    case ClipboardAnswer::noAnswer: status.say(statusClipboardNoAnswer); break;
    case ClipboardAnswer::tooLarge: status.say(statusClipboardTooLarge); break;
    case ClipboardAnswer::text: pasteText(answer->content, mixAsked); break;
    }
}

// From the cursor row and channel down and to the right, never below the
// last row or past the fourth channel; the whole paste is one undo step.
void PatternClipboard::pasteText(const String& text, bool onlyIntoEmpty)
{
    if (!editor.patternEditable()) return;
    std::optional<std::vector<ClipRow>> rows = readPatternText(text, {cursor.octave, cursor.instrument});
    if (!rows) {
        status.say(statusNoPatternText);
        return;
    }
    // A note entered on the last row leaves the cursor below it until the next step.
    if (cursor.row > rowsPerPattern) cursor.row = 1;
    bool changed = false;
    for (size_t k = 0; k < rows->size() && cursor.row + static_cast<int>(k) <= rowsPerPattern; ++k) {
        const ClipRow& cells = (*rows)[k];
        int index = transport.viewBase() + cursor.row - 1 + static_cast<int>(k);
        for (size_t j = 0; j < cells.size() && cursor.channel() + static_cast<int>(j) <= channelCount; ++j)
            changed |= pasteCell(cursor.channel() + static_cast<int>(j), index, cells[j], onlyIntoEmpty);
    }
    if (changed) undo.takeUndoSnapshot();
}

// Writes the columns the cell gives; a mix-paste only into a cell with no
// note and no volume. True when a character changed.
bool PatternClipboard::pasteCell(int channel, int index, const ClipCell& cell, bool onlyIntoEmpty)
{
    const ClipCell there = clipCellAt(channel, index);
    if (onlyIntoEmpty && (there.note != U'.' || there.volume != U'0')) return false;
    const char32_t parts[] = {cell.note, cell.volume, cell.instrument, cell.octave};
    const char32_t before[] = {there.note, there.volume, there.instrument, there.octave};
    bool changed = false;
    for (int part = 0; part < 4; ++part) {
        if (!parts[part] || parts[part] == before[part]) continue;
        editor.setCell(channelColumn(channel, part), index, parts[part]);
        changed = true;
    }
    return changed;
}
