#include "export/background_export.h"

BackgroundExport::BackgroundExport(Song song, const ExportSettings& settings, const std::string& path)
{
    thread_ = std::thread([this, song = std::move(song), settings, path]() mutable {
        auto progress = [this](long long done, long long total) {
            total_ = total;
            done_ = done;
        };
        result_ = exportSong(std::move(song), settings, path, progress, cancel_);
        finished_ = true;
    });
}

BackgroundExport::~BackgroundExport()
{
    cancel_ = true;
    thread_.join();
}

int BackgroundExport::percent() const
{
    long long total = total_;
    return total > 0 ? static_cast<int>(done_ * 100 / total) : 0;
}
