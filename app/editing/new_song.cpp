// Ctrl+N: the blank song of the start, unnamed, in the editor's place. The
// song it replaces is one undo step, as a loaded song's predecessor is.
#include "app/files/song_files.h"

#include "app/editing/undo_history.h"
#include "app/files/unsaved_work.h"
#include "app/playing/audio_channels.h"
#include "app/playing/transport.h"
#include "app/screen/status_texts.h"

#include <utility>

// Unsaved changes ask first: a second Ctrl+N while the question still
// shows goes ahead.
void SongFiles::newSong()
{
    if (unsaved.songChanged() && !newSongAsked) {
        newSongAsked = true;
        status.say(statusNewSongGuard);
        return;
    }
    newSongAsked = false;
    if (transport.playing()) {
        stopAllChannels();
        transport.stopPlaying(false);
    }
    EditorSong before = undo.editorSong();
    song = Song();
    song.patternColumns = blankColumns();
    identity = SongIdentity();
    songNameEditing = descriptionEditing = false;
    undo.startBlank();
    undo.songReplaced(std::move(before));
    // The work of the song replaced stays in the recovery file until this
    // one is changed: it is still one Ctrl+Z away.
    unsaved.songSwapped(false);
    transport.rewind();
    transport.showCurrentPattern();
    status.say(statusNewSong);
}

// Another message takes the question away; the playing song's status, which
// the transport writes at every step, does not.
void SongFiles::keepNewSongQuestion()
{
    if (!newSongAsked || status.shows(statusNewSongGuard)) return;
    if (transport.playing() && status.shows(transport.playingStatus()))
        status.say(statusNewSongGuard);
    else
        newSongAsked = false;
}
