// An export on a thread of its own, so that the tracker's window keeps its
// pace while the song renders. The owner polls it once per update step.
#pragma once

#include "export/song_export.h"

#include <atomic>
#include <thread>

class BackgroundExport {
public:
    // Starts rendering the song into the file at once.
    BackgroundExport(Song song, const ExportSettings& settings, const std::string& path);
    // Stops an unfinished export (its files are removed) and waits for it.
    ~BackgroundExport();
    BackgroundExport(const BackgroundExport&) = delete;
    BackgroundExport& operator=(const BackgroundExport&) = delete;

    bool finished() const { return finished_; }
    // How far the rendering is, 0..100.
    int percent() const;
    // What came of it; only once finished.
    const ExportResult& result() const { return result_; }

private:
    std::atomic<long long> done_ {0};
    std::atomic<long long> total_ {0};
    std::atomic<bool> cancel_ {false};
    std::atomic<bool> finished_ {false};
    ExportResult result_;
    std::thread thread_;
};
