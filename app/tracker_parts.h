// The tracker's parts, wired once: the song, and the parts that edit it,
// play it, keep it, load it, copy it and export it, each built with the
// parts it works with. The application holds them under its window; the
// tests hold them without one.
#pragma once

#include "app/export_job.h"
#include "app/note_cursor.h"
#include "app/note_keys.h"
#include "app/note_preview.h"
#include "app/overlays.h"
#include "app/pattern_clipboard.h"
#include "app/pattern_editor.h"
#include "app/repaint_request.h"
#include "app/song_files.h"
#include "app/song_identity.h"
#include "app/status_row.h"
#include "app/transport.h"
#include "app/undo_history.h"
#include "app/unsaved_work.h"
#include "song/song_model.h"

struct TrackerParts {
    // Declared in the order they are built: each one's references go to
    // the song and to parts built before it.
    Song song;
    StatusRow status;
    RepaintRequest repaints;
    NoteCursor cursor;
    SongIdentity identity;
    Transport transport {song, cursor, status};
    UnsavedWork unsaved {song, identity, cursor, transport, status};
    UndoHistory undo {song, identity, unsaved, transport};
    NoteKeys keys;
    SongFiles files {song, identity, cursor, transport, undo, unsaved, status};
    NotePreview preview {song, cursor};
    PatternEditor editor {song, cursor, transport, undo, unsaved, keys, preview, files};
    PatternClipboard clipboardText {song, cursor, transport, editor, undo, status};
    Overlays overlays {song, cursor, transport, files, undo, unsaved, keys, preview, status, repaints};
    ExportJob exportJob {song, identity, status};
};
