// Which file a song is kept in: a name in the songs folder, or the file the
// tracker was started with.
#include "app/sound_engine.h"

#include "app/status_texts.h"
#include "host/data_paths.h"
#include "song/song_file.h"

namespace {
constexpr size_t shownNameLimit = 32;  // what the song-name field holds
} // namespace

String c_SoundEngine::songFile() const { return songFilePath.empty() ? songFolder + songName : songFilePath; }

String c_SoundEngine::readSongFile(const String& path)
{
    bool readFailed = false;
    String text = loadText(path, readFailed);
    if (readFailed) return statusLoadingFailed;
    if (text.empty()) return statusFileNotFound;
    parseSongText(text, *this);
    takeUndoSnapshot(true);
    return statusFileLoaded;
}

// Loaded as LOAD loads, but the unsaved work of an earlier run is neither
// restored nor thrown away: opening a song to listen to it keeps that work
// for the next start, until this song is changed too. A file that does not
// load (yet) is still where SAVE writes.
void c_SoundEngine::openStartSong()
{
    // Absolute, since a relative path would otherwise mean the data folder.
    songFilePath = absolutePath(startSongPath);
    songName = songFilePath.substr(songFilePath.rfind(U'/') + 1).substr(0, shownNameLimit);
    String status = readSongFile(songFilePath);
    statusText = status;
    // --play plays only a song that loaded.
    if (status != statusFileLoaded) startPlaying = false;
    // A file that is there but failed to read is no place for SAVE to write
    // the blank song to: the song is nameless until the user names it.
    if (status == statusLoadingFailed) {
        songFilePath.clear();
        songName.clear();
    }
}
