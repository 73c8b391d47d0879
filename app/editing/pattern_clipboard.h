// Pattern text on the system clipboard (Ctrl+C, Ctrl+X, Ctrl+V): the marked
// rows, or the cursor row, as text other trackers read, and their text
// pasted at the cursor.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/editing/pattern_text.h"
#include "app/screen/status_row.h"
#include "song/song_model.h"

#include <utility>

class c_InputDevice;
class PatternEditor;
class Transport;
class UndoHistory;

class PatternClipboard {
public:
    PatternClipboard(const Song& song, NoteCursor& cursor, const Transport& transport, PatternEditor& editor,
                     UndoHistory& undo, StatusRow& status);

    void copyChannelRows(c_InputDevice& input);
    void copyAllChannelRows(c_InputDevice& input);
    void cutChannelRows(c_InputDevice& input);
    void pastePatternText(c_InputDevice& input);
    void mixPastePatternText(c_InputDevice& input);
    // Each step: pastes the clipboard's text once its owner has answered.
    void followPaste(c_InputDevice& input);

private:
    void askToPaste(c_InputDevice& input, bool onlyIntoEmpty);
    std::pair<int, int> copiedRows() const;
    ClipCell clipCellAt(int channel, int index) const;
    void copyRows(c_InputDevice& input, int firstChannel, int lastChannel);
    void pasteText(const String& text, bool onlyIntoEmpty);
    bool pasteCell(int channel, int index, const ClipCell& cell, bool onlyIntoEmpty);

    const Song& song;
    NoteCursor& cursor;
    const Transport& transport;
    PatternEditor& editor;
    UndoHistory& undo;
    StatusRow& status;
    bool pasteAsked = false;
    bool mixAsked = false;
};
