#include "app/files/unsaved_work.h"

#include "app/files/recovery_file.h"
#include "app/playing/transport.h"
#include "app/screen/status_texts.h"
#include "base/data_files.h"
#include "base/data_paths.h"
#include "base/text_file.h"

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
    return narrow(resolveDataPath(schemePath));
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

UnsavedWork::UnsavedWork(const Song& song, const SongIdentity& identity, const NoteCursor& cursor,
                         const Transport& transport, StatusRow& status)
    : song(song), identity(identity), cursor(cursor), transport(transport), status(status)
{
}

void UnsavedWork::markSongChanged()
{
    songChanged_ = true;
    recoveryStale = true;
}

String UnsavedWork::recoveryFile() const
{
    return recoveryLock.number() > 0 ? recoveryFilePath(recoveryLock.number()) : String();
}

// Each running tracker keeps its unsaved work in a file of its own, held by a
// lock while it runs: no other tracker restores, overwrites or removes it.
// A start that may restore takes the first file no running tracker holds;
// any other start, or a song whose work would replace another song's, a
// free number with no file yet.
bool UnsavedWork::claimRecoveryFile(bool toRestore)
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
void UnsavedWork::endUnsavedState(bool saved)
{
    songChanged_ = false;
    recoveryStale = false;
    bool sameSong = saved ? recoveryIsCurrentSong : recoveryHolds == identity.songFileFullPath();
    if (sameSong && !recoveryFile().empty()) {
        std::remove(realPath(recoveryFile()).c_str());
        recoveryHolds.clear();
    }
    recoveryIsCurrentSong = false;
}

void UnsavedWork::songSwapped(bool changed)
{
    songChanged_ = changed;
    recoveryStale = songChanged_;
    recoveryIsCurrentSong = recoveryHolds == identity.songFileFullPath();
}

// Writes the recovery file from the update step, never more often than the
// interval, and only when it no longer holds the song.
void UnsavedWork::keepRecoveryFresh()
{
    if (stepsSinceRecovery < recoveryIntervalSteps()) stepsSinceRecovery += 1;
    if (recoveryStale && stepsSinceRecovery >= recoveryIntervalSteps()) writeRecoveryFile(false);
}

bool UnsavedWork::writeRecoveryFile(bool closing)
{
    stepsSinceRecovery = 0;
    String path = identity.songFileFullPath();
    // Another song's unsaved work is never replaced: this song's goes to a
    // file of its own.
    bool holdsOtherSong = !recoveryHolds.empty() && recoveryHolds != path && !recoveryIsCurrentSong;
    if (holdsOtherSong || recoveryLock.number() == 0) {
        bool claimed = claimRecoveryFile(false);
        if (claimed) recoveryHolds.clear();
        if (!claimed && holdsOtherSong) recoveryLock = NumberedLock();
    }
    RecoveredView view {identity.songName, cursor.column, cursor.row, transport.position(), path};
    bool kept = !recoveryFile().empty() && replaceTextFile(recoveryFile(), recoveryText(song, view));
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
void UnsavedWork::reportRecoveryWrite(bool kept, bool closing)
{
    if (kept) {
        recoveryFailing = false;
        return;
    }
    status.say(statusUnsavedNotKept);
    if (!recoveryFailing || closing) {
        String where = recoveryFile().empty() ? recoveryFilePath(1) : recoveryFile();
        std::fprintf(stderr, "kovo-tracker: the unsaved song could not be written to %s%s\n",
                     realPath(where).c_str(), closing ? "; it is lost" : "");
        std::fflush(stderr);
    }
    recoveryFailing = true;
}

// A close or a termination signal: a song with unsaved changes is kept; with
// none, nothing is written.
void UnsavedWork::keepAtClose()
{
    if (songChanged_) writeRecoveryFile(true);
}

// Brings back the song a close, a signal or a crash left unsaved, with the
// file it belongs to. It stays unsaved, and its recovery file stays, until a
// SAVE or a LOAD of that song.
bool UnsavedWork::restoreUnsavedSong(Song& into, SongIdentity& names, NoteCursor& view, int& position)
{
    claimRecoveryFile(true);
    if (recoveryFile().empty()) return false;
    String text = loadText(recoveryFile());
    RecoveredView recovered;
    if (text.empty() || !parseRecoveryText(text, into, recovered)) return false;
    names.songName = recovered.songName;
    names.songFilePath.clear();
    if (usableSongPath(recovered.songPath) && recovered.songPath != names.songFileFullPath())
        names.songFilePath = recovered.songPath;
    view.column = recovered.cursorColumn;
    view.row = recovered.cursorRow;
    position = recovered.currentPosition;
    songChanged_ = true;
    recoveryHolds = names.songFileFullPath();
    recoveryIsCurrentSong = true;
    status.say(statusUnsavedRestored);
    return true;
}
