#include "app/sound_engine.h"

#include "app/recovery_file.h"
#include "host/game.h"
#include "io/text_file.h"

#include <cstdio>
#include <cstdlib>

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

} // namespace

void c_SoundEngine::markSongChanged()
{
    songChanged = true;
    recoveryStale = true;
}

// After a SAVE or a LOAD the song is in its file: nothing left to recover.
void c_SoundEngine::endUnsavedState()
{
    songChanged = false;
    recoveryStale = false;
    if (BBGame* game = BBGame::game()) std::remove(narrow(game->resolvePath(recoveryFilePath)).c_str());
}

// Writes the recovery file from the update step, never more often than the
// interval, and only when it no longer holds the song.
void c_SoundEngine::keepRecoveryFresh()
{
    if (stepsSinceRecovery < recoveryIntervalSteps()) stepsSinceRecovery += 1;
    if (recoveryStale && stepsSinceRecovery >= recoveryIntervalSteps()) writeRecoveryFile();
}

void c_SoundEngine::writeRecoveryFile()
{
    stepsSinceRecovery = 0;
    RecoveredView view {songName, cursorColumn, cursorRow, currentPosition};
    if (replaceTextFile(recoveryFilePath, recoveryText(*this, view))) recoveryStale = false;
}

// A close or a termination signal: a song with unsaved changes is kept; with
// none, nothing is written. An unfinished export is stopped and its files
// removed, since the process ends without tearing anything down.
void c_SoundEngine::close()
{
    if (songChanged) writeRecoveryFile();
    songExport.reset();
}

// Brings back the song a close, a signal or a crash left unsaved. It stays
// unsaved, and its file stays, until a SAVE or a LOAD.
void c_SoundEngine::restoreUnsavedSong()
{
    String text = loadText(recoveryFilePath);
    RecoveredView view;
    if (text.empty() || !parseRecoveryText(text, *this, view)) return;
    songName = view.songName;
    cursorColumn = view.cursorColumn;
    cursorRow = view.cursorRow;
    currentPosition = view.currentPosition;
    patternBaseRow = positions[currentPosition] * rowsPerPattern;
    takeUndoSnapshot(true);
    songChanged = true;
    statusText = U"Unsaved song restored";
}
