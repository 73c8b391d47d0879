// The tracker's editing parts without an application: a song and the parts
// that edit it, keep it, load it, copy it, list songs and export it, wired as the application wires
// them, and an input device on a windowless host of its own (which keeps a
// clipboard). No window, no sound device, no update step: a test calls the
// part it checks.
#pragma once

#include "app/export_job.h"
#include "app/note_cursor.h"
#include "app/note_keys.h"
#include "app/note_preview.h"
#include "app/overlays.h"
#include "app/pattern_clipboard.h"
#include "app/pattern_editor.h"
#include "app/song_files.h"
#include "app/song_identity.h"
#include "app/transport.h"
#include "app/undo_history.h"
#include "app/unsaved_work.h"
#include "host/headless_game.h"
#include "host/input_device.h"
#include "host/key_translation.h"
#include "song/song_model.h"

#include <gtest/gtest.h>

class TrackerParts : public ::testing::Test {
protected:
    // The blank song with its history, as the application starts.
    void SetUp() override
    {
        song.patternColumns = blankColumns();
        undo.startBlank();
    }

    // One step with what came in since the last: the pattern editor's, or
    // what a fixture's part takes instead.
    void step()
    {
        input.beginUpdate();
        stepParts();
        input.endUpdate();
    }
    virtual void stepParts() { editor.step(input, input.takeWheel()); }
    void press(int key)
    {
        input.pressKey(key);
        input.releaseKey(key);
    }
    void pressAndStep(int key)
    {
        press(key);
        step();
    }
    // Characters as the window delivers them, taken by the next step.
    void type(const String& text)
    {
        for (char32_t c : text) input.pushChar(static_cast<int>(c));
    }
    void typeStepwise(const String& text)
    {
        for (char32_t c : text) {
            type(String(1, c));
            step();
        }
    }
    // A left click at a window position, taken by the next step.
    void click(float x, float y)
    {
        input.movePointer(x, y, 0);
        press(keyMouseLeft);
    }
    char32_t cell(int column, int index) const { return song.patternColumns[column][index]; }

    BBHeadlessGame host;
    Song song;
    NoteCursor cursor;
    SongIdentity identity;
    String status;
    Transport transport {song, cursor, status};
    UnsavedWork unsaved {song, identity, cursor, transport, status};
    UndoHistory undo {song, identity, unsaved, transport};
    NoteKeys keys;
    SongFiles files {song, identity, cursor, transport, undo, unsaved, status};
    NotePreview preview {song, cursor};
    PatternEditor editor {song, cursor, transport, undo, unsaved, keys, preview, files};
    PatternClipboard clipboardText {song, cursor, transport, editor, undo, status};
    int redrawCounter = 0;
    Overlays overlays {song, cursor, transport, files, undo, unsaved, keys, preview, status, redrawCounter};
    ExportJob exportJob {song, identity, status};
    c_InputDevice input {&host};
};
