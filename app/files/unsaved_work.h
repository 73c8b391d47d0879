// The unsaved work: whether the song differs from its file, and the
// recovery file that keeps it through a close, a signal or a crash.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/files/song_identity.h"
#include "app/screen/status_row.h"
#include "host/numbered_lock.h"
#include "song/song_model.h"

class Transport;

class UnsavedWork {
public:
    UnsavedWork(const Song& song, const SongIdentity& identity, const NoteCursor& cursor, const Transport& transport,
                StatusRow& status);

    // Notes a change of the song that no file holds yet.
    void markSongChanged();
    // After a SAVE (saved) or a LOAD of the song's file.
    void endUnsavedState(bool saved);
    // Another song took the editor's place (an undone or redone LOAD): its
    // own unsaved state comes with it.
    void songSwapped(bool changed);
    void keepRecoveryFresh();
    // Writes the recovery file; false, said on the status row and on
    // standard error, when it could not be written.
    bool writeRecoveryFile(bool closing);
    // At a close: a song with unsaved changes is kept.
    void keepAtClose();
    // Reads back the song, view and names a close, a signal or a crash left
    // unsaved; false when there was none to read.
    bool restoreUnsavedSong(Song& into, SongIdentity& names, NoteCursor& view, int& position);
    // This tracker's recovery file as a scheme path; empty while it has none.
    String recoveryFile() const;

    // The song differs from its file.
    bool songChanged() const { return songChanged_; }

private:
    bool claimRecoveryFile(bool toRestore);
    void reportRecoveryWrite(bool kept, bool closing);

    const Song& song;
    const SongIdentity& identity;
    const NoteCursor& cursor;
    const Transport& transport;
    StatusRow& status;
    bool songChanged_ = false;
    bool recoveryStale = false;  // ... and from the recovery file
    int stepsSinceRecovery = 0;
    NumberedLock recoveryLock;           // holds this tracker's recovery file
    String recoveryHolds;                // the song whose work is in it (full path); empty: none
    bool recoveryIsCurrentSong = false;  // ... and that is the editor's song since then
    bool recoveryFailing = false;        // the last write failed (and was said)
};
