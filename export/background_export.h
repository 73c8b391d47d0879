// An export on a thread of its own, so that the tracker's window keeps its
// pace while the song renders. The owner polls it once per update step.
#pragma once

#include "export/song_export.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class BackgroundExport {
public:
    // Starts rendering the song into the file at once. The render waits at
    // each of the holds (percentages, rising) until release() lets it go on:
    // what the window shows meanwhile can then be seen at a known point.
    BackgroundExport(Song song, const ExportSettings& settings, const std::string& path,
                     std::vector<int> holds = {});
    // Stops an unfinished export (its files are removed) and waits for it.
    ~BackgroundExport();
    BackgroundExport(const BackgroundExport&) = delete;
    BackgroundExport& operator=(const BackgroundExport&) = delete;

    bool finished() const { return finished_; }
    // How far the rendering is, 0..100.
    int percent() const;
    // What came of it; only once finished.
    const ExportResult& result() const { return result_; }

    // The hold the render waits at now, or -1 while it runs.
    int heldAt() const;
    // Lets a held render go on to its next hold.
    void release();

private:
    void waitAtHold(int reached);

    std::atomic<long long> done_ {0};
    std::atomic<long long> total_ {0};
    std::atomic<bool> cancel_ {false};
    std::atomic<bool> finished_ {false};
    ExportResult result_;
    mutable std::mutex holdMutex_;
    std::condition_variable holdChanged_;
    std::vector<int> holds_;
    size_t nextHold_ = 0;
    int heldAt_ = -1;
    std::thread thread_;
};
