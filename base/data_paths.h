// The program's path scheme: "quorvane://data/..." and friends, mapped to
// real folders. The data folder is two places once the program is installed:
// its resources, which may be read-only, and the user's songs, which are not.
#pragma once

#include "base/text.h"

// Puts a bare relative path into the data folder; paths with a scheme or a
// drive, and paths starting with "./" or "/", are left alone.
String fixDataPath(const String& path);

// The folders behind the scheme, all without a trailing "/".
struct DataFolders {
    String appDirectory;  // the executable's folder ("internal", "external")
    String resources;     // fonts, images, waveforms
    String userFiles;     // holds songs/ and the unsaved-work file
    bool userFilesMadeOnUse = false;  // userFiles is the user's own folder, made when missing
};

// The folders for an executable living in appDirectory. Resources: data/
// beside it, else ../share/kovo-tracker/data. The user's files: data/ beside
// it while its songs/ may be written (a build folder), else
// $XDG_DATA_HOME/kovo-tracker (by default ~/.local/share/kovo-tracker).
DataFolders findDataFolders(const String& appDirectory);

// $XDG_DATA_HOME where it is an absolute path (a relative one is to be
// ignored), else ~/.local/share; "" when there is no home at all.
String userDataHome();

// The data folder's folders for the running executable, found on first use.
const DataFolders& processDataFolders();

// Keeps the user's files (songs, unsaved work) in the given folder from now
// on, which must exist: a test program gives each test a folder of its own.
void useUserFilesFolder(const String& folder);

// Maps a scheme path to a real file name; other paths are returned
// unchanged, unknown "quorvane:" paths and paths that do not narrow exactly
// (base/text.h) give "". "quorvane://data/songs/" and
// "quorvane://user/" name the user's files, the rest of "quorvane://data/"
// the resources.
String mapSchemePath(const String& path, const DataFolders& folders);

// Makes the user's songs folder where it is missing, its parents too, and
// says whether it is there now.
bool makeUserFolder(const DataFolders& folders);

// Folder of the running executable without a trailing "/"; aborts when the
// executable cannot be found.
String findExecutableDirectory();

// The real file name of a path for the running executable (mapSchemePath
// with processDataFolders); the first use of one of the user's files makes
// the user's folder.
String resolveDataPath(const String& path);

// The path made absolute against the current folder (or "./" before it when
// there is none); an absolute path as it is.
String absolutePath(const String& path);
