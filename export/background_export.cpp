#include "export/background_export.h"

BackgroundExport::BackgroundExport(Song song, const ExportSettings& settings, const std::string& path,
                                   std::vector<int> holds)
    : holds_(std::move(holds))
{
    thread_ = std::thread([this, song = std::move(song), settings, path]() mutable {
        auto progress = [this](long long done, long long total) {
            total_ = total;
            done_ = done;
            if (nextHold_ < holds_.size()) waitAtHold(percent());
        };
        result_ = exportSong(std::move(song), settings, path, progress, cancel_);
        finished_ = true;
    });
}

BackgroundExport::~BackgroundExport()
{
    {
        std::lock_guard<std::mutex> lock(holdMutex_);
        cancel_ = true;
    }
    holdChanged_.notify_all();
    thread_.join();
}

int BackgroundExport::percent() const
{
    long long total = total_;
    return total > 0 ? static_cast<int>(done_ * 100 / total) : 0;
}

int BackgroundExport::heldAt() const
{
    std::lock_guard<std::mutex> lock(holdMutex_);
    return heldAt_;
}

void BackgroundExport::release()
{
    {
        std::lock_guard<std::mutex> lock(holdMutex_);
        heldAt_ = -1;
    }
    holdChanged_.notify_all();
}

// On the render thread: a cancel ends the wait too, so that closing the
// window never waits for a release that will not come.
void BackgroundExport::waitAtHold(int reached)
{
    std::unique_lock<std::mutex> lock(holdMutex_);
    if (reached < holds_[nextHold_]) return;
    heldAt_ = reached;
    ++nextHold_;
    holdChanged_.wait(lock, [this] { return heldAt_ < 0 || cancel_; });
}
