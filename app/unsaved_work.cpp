#include "app/sound_engine.h"

#include "app/recovery_file.h"
#include "app/status_texts.h"
#include "host/game.h"
#include "io/text_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// The longest stretch of work a crash can cost: 10 s of update steps. The
// tests of the real program shorten it, so that they need not wait 10 s.
int recoveryIntervalSteps()
{
    static const int steps = [] {
        const char* value = std::getenv("KOVO_RECOVERY_INTERVAL_STEPS");
        int given = value ? std::atoi(value) : 0;
        return given > 0 ? given : 500;
    }();
    return steps;
}

std::string realPath(const String& schemePath)
{
    BBGame* game = BBGame::game();
    return game ? narrow(game->resolvePath(schemePath)) : std::string();
}

bool recoveryFileExists(int number)
{
    struct stat entry {};
    return lstat(realPath(recoveryFilePath(number)).c_str(), &entry) == 0;
}

// A song path read back from the recovery file is taken only as the program
// writes one: absolute, and the very file name it opens (every character
// survives the trip to bytes and back).
bool usableSongPath(const String& path)
{
    bool noNul = std::find(path.begin(), path.end(), U'\0') == path.end();
    return !path.empty() && path[0] == U'/' && noNul && widen(narrow(path)) == path;
}

} // namespace

void c_SoundEngine::markSongChanged()
{
    songChanged = true;
    recoveryStale = true;
}

String c_SoundEngine::songFileFullPath() const
{
    BBGame* game = BBGame::game();
    return game ? game->resolvePath(songFile()) : songFile();
}

String c_SoundEngine::recoveryFile() const
{
    return recoveryLock.number() > 0 ? recoveryFilePath(recoveryLock.number()) : String();
}

// Each running tracker keeps its unsaved work in a file of its own, held by a
// lock while it runs: no other tracker restores, overwrites or removes it.
// A start that may restore takes the first file no running tracker holds;
// any other start, or a song whose work would replace another song's, a
// free number with no file yet.
bool c_SoundEngine::claimRecoveryFile(bool toRestore)
{
    NumberedLock claim;
    std::string lockFile = realPath(recoveryLockPath);
    bool claimed = toRestore && claim.claim(lockFile, recoveryFileCount, recoveryFileExists);
    if (!claimed) claimed = claim.claim(lockFile, recoveryFileCount, [](int n) { return !recoveryFileExists(n); });
    if (claimed) recoveryLock = std::move(claim);
    return claimed;
}

// After a SAVE (saved) or a LOAD of the song's file. The recovery file goes
// only when it held that very song: the work of another song stays until
// that song is saved or loaded, or comes back at the next start.
void c_SoundEngine::endUnsavedState(bool saved)
{
    songChanged = false;
    recoveryStale = false;
    bool sameSong = saved ? recoveryIsCurrentSong : recoveryHolds == songFileFullPath();
    if (sameSong && !recoveryFile().empty()) {
        std::remove(realPath(recoveryFile()).c_str());
        recoveryHolds.clear();
    }
    recoveryIsCurrentSong = false;
}

// Writes the recovery file from the update step, never more often than the
// interval, and only when it no longer holds the song.
void c_SoundEngine::keepRecoveryFresh()
{
    if (stepsSinceRecovery < recoveryIntervalSteps()) stepsSinceRecovery += 1;
    if (recoveryStale && stepsSinceRecovery >= recoveryIntervalSteps()) writeRecoveryFile(false);
}

bool c_SoundEngine::writeRecoveryFile(bool closing)
{
    stepsSinceRecovery = 0;
    String path = songFileFullPath();
    // Another song's unsaved work is never replaced: this song's goes to a
    // file of its own.
    bool holdsOtherSong = !recoveryHolds.empty() && recoveryHolds != path && !recoveryIsCurrentSong;
    if (holdsOtherSong || recoveryLock.number() == 0) {
        bool claimed = claimRecoveryFile(false);
        if (claimed) recoveryHolds.clear();
        if (!claimed && holdsOtherSong) recoveryLock = NumberedLock();
    }
    RecoveredView view {songName, cursorColumn, cursorRow, currentPosition, path};
    bool kept = !recoveryFile().empty() && replaceTextFile(recoveryFile(), recoveryText(*this, view));
    if (kept) {
        recoveryStale = false;
        recoveryHolds = path;
        recoveryIsCurrentSong = true;
    }
    reportRecoveryWrite(kept, closing);
    return kept;
}

// A failed write is said on the status row and on standard error: once when
// the refreshes start failing, and at a close, whose work is then lost.
void c_SoundEngine::reportRecoveryWrite(bool kept, bool closing)
{
    if (kept) {
        recoveryFailing = false;
        return;
    }
    statusText = statusUnsavedNotKept;
    if (!recoveryFailing || closing) {
        String where = recoveryFile().empty() ? recoveryFilePath(1) : recoveryFile();
        std::fprintf(stderr, "kovo-tracker: the unsaved song could not be written to %s%s\n",
                     realPath(where).c_str(), closing ? "; it is lost" : "");
        std::fflush(stderr);
    }
    recoveryFailing = true;
}

// A close or a termination signal: a song with unsaved changes is kept; with
// none, nothing is written. An unfinished export is stopped and its files
// removed, since the process ends without tearing anything down.
void c_SoundEngine::close()
{
    if (songChanged) writeRecoveryFile(true);
    songExport.reset();
}

// Brings back the song a close, a signal or a crash left unsaved, with the
// file it belongs to. It stays unsaved, and its recovery file stays, until a
// SAVE or a LOAD of that song.
void c_SoundEngine::restoreUnsavedSong()
{
    claimRecoveryFile(true);
    if (recoveryFile().empty()) return;
    String text = loadText(recoveryFile());
    RecoveredView view;
    if (text.empty() || !parseRecoveryText(text, *this, view)) return;
    songName = view.songName;
    songFilePath.clear();
    if (usableSongPath(view.songPath) && view.songPath != songFileFullPath()) songFilePath = view.songPath;
    cursorColumn = view.cursorColumn;
    cursorRow = view.cursorRow;
    currentPosition = view.currentPosition;
    patternBaseRow = positions[currentPosition] * rowsPerPattern;
    takeUndoSnapshot(true);
    songChanged = true;
    recoveryHolds = songFileFullPath();
    recoveryIsCurrentSong = true;
    statusText = statusUnsavedRestored;
}
