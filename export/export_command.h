// The export as a command: a song file rendered to WAV files without a
// window, a display or a sound card.
#pragma once

#include "export/export_settings.h"

#include <string>

struct ExportRequest {
    std::string songPath;
    std::string outPath;  // empty: the song's file name plus ".wav", in the current folder
    ExportSettings settings;
    bool quiet = false;  // no progress line even on a terminal
};

// Exit statuses of the command.
enum ExportStatus { exportSucceeded = 0, exportFailed = 1, exportBadInput = 2 };

// Runs the export; problems are reported in one line on standard error.
int runExportCommand(const ExportRequest& request);
