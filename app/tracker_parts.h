// The tracker's parts, wired once: the song, and the parts that edit it,
// play it, keep it, load it, copy it and export it, each built with the
// parts it works with. The application holds them under its window; the
// tests hold them without one.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/editing/pattern_clipboard.h"
#include "app/editing/pattern_editor.h"
#include "app/editing/undo_history.h"
#include "app/files/export_job.h"
#include "app/files/song_files.h"
#include "app/files/song_identity.h"
#include "app/files/unsaved_work.h"
#include "app/keys/note_keys.h"
#include "app/playing/note_preview.h"
#include "app/playing/transport.h"
#include "app/screen/overlays.h"
#include "app/screen/repaint_request.h"
#include "app/screen/status_row.h"
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
