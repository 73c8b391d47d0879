// The program's arguments: none, or a song file, --play and --scale, start
// the tracker; the others ask for an export from the command line or for the
// usage.
#pragma once

#include "export/export_command.h"

#include <string>

struct CommandLine {
    enum Action { runTracker, exportSong, showHelp, badUsage };
    Action action = runTracker;
    ExportRequest exportRequest;
    int windowScale = 0;  // --scale N for the tracker's window, 0 when not given
    std::string songPath;  // SONG: the song file the tracker starts with, "" for none
    bool play = false;     // --play: playback starts at once
    std::string error;  // what was wrong, for badUsage
};

CommandLine parseCommandLine(int argc, const char* const* argv);

// The usage lines, and the usage with what each option does.
extern const char usageText[];
extern const char helpText[];
