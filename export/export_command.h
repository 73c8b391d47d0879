// The export as a command: song files rendered to sound files without a
// window, a display or a sound card, several at once when there are several.
#pragma once

#include "export/export_settings.h"

#include <string>
#include <vector>

struct ExportRequest {
    std::vector<std::string> songPaths;
    // One song: the file to write, or empty for the song's file name plus the
    // format's extension, here. Several songs (or a path ending in "/" or
    // naming a folder): the folder each "<song's file name>.<ext>" goes into.
    std::string outPath;
    ExportSettings settings;
    bool quiet = false;  // no progress line even on a terminal
    int jobs = 0;        // songs rendered at once; 0: one per core
};

// Exit statuses of the command.
enum ExportStatus { exportSucceeded = 0, exportFailed = 1, exportBadInput = 2 };

// Whether the output path is a folder to put the files into: it ends in "/"
// or names one.
bool namesFolder(const std::string& outPath);

// Runs the export; each problem is reported in one line on standard error.
// A song that cannot be read is skipped and the others are still written.
int runExportCommand(const ExportRequest& request);
