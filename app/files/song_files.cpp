#include "app/files/song_files.h"

#include "app/editing/undo_history.h"
#include "app/files/song_list.h"
#include "app/files/unsaved_work.h"
#include "app/keys/user_input.h"
#include "app/playing/transport.h"
#include "app/screen/status_texts.h"
#include "base/data_files.h"
#include "base/data_paths.h"
#include "base/file_loading.h"
#include "song/module_import.h"
#include "song/song_file.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {
constexpr size_t shownNameLimit = 32;  // what the song-name field holds
String freeSongName(const String& name);
} // namespace

SongFiles::SongFiles(Song& song, SongIdentity& identity, const NoteCursor& cursor, Transport& transport,
                     UndoHistory& undo, UnsavedWork& unsaved, StatusRow& status)
    : song(song), identity(identity), cursor(cursor), transport(transport), undo(undo), unsaved(unsaved),
      status(status)
{
}

void SongFiles::saveTrigger(c_InputDevice& input)
{
    if (!pressed(input, keyF11) && !clicked(input, buttons::save)) return;
    const String& path = identity.songFilePath;
    SaveOutcome outcome = path.empty() ? saveSong(song, identity.songName) : saveSongFile(song, path);
    status.say(saveStatusText(outcome));
    if (outcome == SaveOutcome::saved) unsaved.endUnsavedState(true);
}

void SongFiles::loadTrigger(c_InputDevice& input)
{
    if (!pressed(input, keyF12) && !clicked(input, buttons::load)) return;
    status.say(shownStatus(loadSongFile()));
    transport.rewind();
}

String SongFiles::readSongFile(const String& path)
{
    importedModule = false;
    wavesDamaged = false;
    if (namesModule(narrow(path))) return readModule(path);
    return readSongText(path);
}

String SongFiles::readSongText(const String& path)
{
    bool readFailed = false;
    String text = loadText(path, readFailed);
    if (readFailed) return statusLoadingFailed;
    if (text.empty()) return statusFileNotFound;
    wavesDamaged = parseSongText(text, song) == OwnWavesRead::damaged;
    undo.takeUndoSnapshot(true);
    if (wavesDamaged)
        std::fprintf(stderr, "kovo-tracker: %s: the song's own waves are damaged; only those before the fault were read\n",
                     narrow(resolveDataPath(path)).c_str());
    return statusFileLoaded;
}

// A module file: read through libopenmpt, or as a song when it is one of
// this program's songs after all. What libopenmpt refuses, or a file too
// large, changes nothing. The song is named after the file, without its
// extension (or the first free "name 2", ...), so that SAVE writes it into
// the songs folder and never over the module, and it is unsaved.
String SongFiles::readModule(const String& path)
{
    String realPath = resolveDataPath(fixDataPath(path));
    if (realPath.empty()) return statusFileNotFound;
    errno = 0;
    std::FILE* file = openLoadableFile(narrow(realPath), moduleFileLimit);
    if (!file) return errno == ENOENT || errno == ENOTDIR ? statusFileNotFound : statusLoadingFailed;
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, moduleFileLimit);
    std::fclose(file);
    if (!bytes) return statusLoadingFailed;
    if (bytes->empty()) return statusFileNotFound;
    if (startsWithSongMagic(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size())))
        return readSongText(path);
    std::optional<Song> module = importModule(*bytes);
    if (!module) return statusLoadingFailed;
    song = std::move(*module);
    undo.takeUndoSnapshot(true);
    String fileName = path.substr(path.rfind(U'/') + 1);
    identity.songFilePath.clear();
    identity.songName = freeSongName(fileName.substr(0, fileName.rfind(U'.')).substr(0, shownNameLimit));
    importedModule = true;
    return statusFileLoaded;
}

// Loaded as LOAD loads, but the unsaved work of an earlier run is neither
// restored nor thrown away: opening a song to listen to it keeps that work
// for the next start, until this song is changed too. A file that does not
// load (yet) is still where SAVE writes.
bool SongFiles::openStartSong(const String& path)
{
    String& songFilePath = identity.songFilePath;
    String& songName = identity.songName;
    // Absolute, since a relative path would otherwise mean the data folder.
    songFilePath = absolutePath(path);
    songName = songFilePath.substr(songFilePath.rfind(U'/') + 1).substr(0, shownNameLimit);
    String outcome = readSongFile(songFilePath);
    status.say(shownStatus(outcome));
    // A file that is there but failed to read is no place for SAVE to write
    // the blank song to: the song is nameless until the user names it.
    if (outcome == statusLoadingFailed) {
        songFilePath.clear();
        songName.clear();
    }
    if (importedModule) unsaved.markSongChanged();
    return outcome == statusFileLoaded;
}

String SongFiles::loadSongFile()
{
    String& songName = identity.songName;
    EditorSong before = undo.editorSong();
    if (identity.songFilePath.empty()) {
        // A name that arrives with a path ending in "songs\" keeps only the
        // part from that backslash on.
        size_t cut = songName.rfind(U'\\');
        const size_t folderLength = songFolderName.size();
        while (cut != String::npos &&
               !(cut >= folderLength && songName.compare(cut - folderLength, folderLength, songFolderName) == 0))
            cut = cut == 0 ? String::npos : songName.rfind(U'\\', cut - 1);
        if (cut != String::npos) songName = songName.substr(cut);
        if (songName.empty() || !songNameStaysInFolder(songName)) return statusFileNotFound;
    }
    String outcome = readSongFile(identity.songFile());
    // A name no song of the user's has may be an example's.
    if (outcome == statusFileNotFound && identity.songFilePath.empty() && readExampleSong()) outcome = statusFileLoaded;
    if (outcome != statusFileLoaded) return outcome;
    undo.songLoaded(std::move(before));
    if (importedModule) unsaved.markSongChanged();
    return outcome;
}

String SongFiles::loadExampleSong()
{
    EditorSong before = undo.editorSong();
    if (!readExampleSong()) return statusFileNotFound;
    undo.songLoaded(std::move(before));
    return statusFileLoaded;
}

namespace {
// Whether anything in the songs folder has the name, a song or not.
bool songsFolderHas(const String& name)
{
    struct stat info {};
    return lstat(narrow(resolveDataPath(songFolder + name)).c_str(), &info) == 0;
}

// The name, else the first of "name 2", "name 3", ... that nothing in the
// songs folder has; none when all of the first thousand are taken.
String freeSongName(const String& name)
{
    String free = name;
    for (int n = 2; songsFolderHas(free); ++n) {
        if (n > 1000) return String();
        free = name + U" " + widen(std::to_string(n));
    }
    return free;
}
} // namespace

// An example loads under its own name, without the section, or, where the
// user has a song of that name, under the first free "name 2", "name 3"...:
// SAVE then writes a copy into the songs folder, never over the user's song
// and never into the read-only examples.
bool SongFiles::readExampleSong()
{
    String name = identity.songName;
    if (name.compare(0, exampleSection.size(), exampleSection) == 0) name = name.substr(exampleSection.size());
    if (name.empty() || !songNameStaysInFolder(name) || readSongFile(exampleFolder + name) != statusFileLoaded)
        return false;
    identity.songName = freeSongName(name);
    return true;
}

// A name from the song list means a file in the songs folder, even while the
// editor holds a song from elsewhere.
String SongFiles::loadSongNamed(const String& name, bool example)
{
    String& songName = identity.songName;
    String& songFilePath = identity.songFilePath;
    String before = songName;
    String beforePath = songFilePath;
    songName = name;
    songFilePath.clear();
    String outcome = example ? loadExampleSong() : loadSongFile();
    if (outcome == statusFileLoaded) {
        undo.nameSongBefore(before, beforePath);
    } else {
        // The song stays, and so does the file it belongs to.
        songName = before;
        songFilePath = beforePath;
    }
    return shownStatus(outcome);
}

String SongFiles::shownStatus(const String& outcome) const
{
    return outcome == statusFileLoaded && wavesDamaged ? String(statusWavesDamaged) : outcome;
}
