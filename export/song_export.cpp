#include "export/song_export.h"

#include "base/file_replace.h"
#include "export/export_room.h"
#include "export/export_temporaries.h"
#include "export/note_file_export.h"
#include "export/song_passes.h"
#include "export/song_renderer.h"
#include "export/sound_file_writer.h"
#include "song/song_file.h"

#include <algorithm>
#include <memory>
#include <set>

namespace {

constexpr int longestTailTicks = 2 * updatesPerSecond;
constexpr int fadesPerSecond = 100;  // the closing fade lasts 10 ms

// Float mix value to 16 bits: rounded to the nearest step (halves away from
// zero), clipped at full scale. Written out so that it inlines: a library
// call per sample costs more than the mixing.
int16_t pcmValue(float value)
{
    float scaled = std::clamp(value * 32768.0f, -32768.0f, 32767.0f);
    return static_cast<int16_t>(scaled + (scaled < 0.0f ? -0.5f : 0.5f));
}

ExportResult writeFailure(const std::string& path, const std::string& reason)
{
    return {ExportOutcome::outputFailed, "cannot write " + path + ": " + reason};
}

bool silent(const std::vector<float>& frames)
{
    return std::all_of(frames.begin(), frames.end(), [](float value) { return pcmValue(value) == 0; });
}

// A straight line from full level down to nothing over the last frames.
void fadeOut(std::vector<float>& frames, int fadeFrames)
{
    size_t frameCount = frames.size() / 2;
    size_t length = std::min(static_cast<size_t>(fadeFrames), frameCount);
    for (size_t i = 0; i < length; ++i) {
        float gain = static_cast<float>(length - 1 - i) / static_cast<float>(length);
        size_t frame = frameCount - length + i;
        frames[2 * frame] *= gain;
        frames[2 * frame + 1] *= gain;
    }
}

class Exporter {
public:
    Exporter(Song song, const ExportSettings& settings, const ExportProgress& progress,
             const std::atomic<bool>& cancel)
        : song_(std::move(song)), settings_(settings), progress_(progress), cancel_(cancel)
    {
        settleSongSettings(song_);
    }

    ExportResult run(const std::vector<std::string>& targets);

private:
    ExportResult prepareFolders();
    ExportResult openFiles();
    ExportResult renderFile(size_t file);
    ExportResult closeFiles();
    ExportResult abandon(ExportResult result);
    bool writeFrames(SoundFileWriter& writer, const std::vector<float>& frames);
    bool tailGoesOn(int tailTicks) const;

    Song song_;
    ExportSettings settings_;
    const ExportProgress& progress_;
    const std::atomic<bool>& cancel_;
    long long songTicks_ = 0;
    long long ticksDone_ = 0;
    long long ticksTotal_ = 0;
    int tailTicks_ = -1;  // -1 until the mix has found where its tail ends
    std::vector<std::string> targets_;  // the mix first, then the stems of channels 1..4
    std::vector<SoundFileWriter> writers_;
    std::vector<float> pending_, current_;
    std::vector<int16_t> pcm_;
};

ExportResult Exporter::run(const std::vector<std::string>& targets)
{
    targets_ = targets;
    writers_ = std::vector<SoundFileWriter>(targets.size());
    ExportResult result = prepareFolders();
    if (result.outcome != ExportOutcome::done) return result;
    ticksTotal_ = songTicks_ * static_cast<long long>(targets.size());
    result = openFiles();
    for (size_t file = 0; file < targets.size() && result.outcome == ExportOutcome::done; ++file)
        result = renderFile(file);
    if (result.outcome == ExportOutcome::done) result = closeFiles();
    return result.outcome == ExportOutcome::done ? result : abandon(result);
}

// What killed exports left goes first; then a sound that cannot fit is
// refused before any of it is rendered (its length is counted only as far
// as it could fit).
ExportResult Exporter::prepareFolders()
{
    std::set<std::string> folders;
    for (const std::string& target : targets_) folders.insert(folderOf(target));
    for (const std::string& folder : folders) removeAbandonedTemporaries(folder);
    RoomLimit room = roomFor(targets_, settings_);
    songTicks_ = passTicks(song_, settings_.loops, room.ticks);
    if (songTicks_ > room.ticks) return writeFailure(targets_.front(), room.reason);
    return {};
}

ExportResult Exporter::openFiles()
{
    for (size_t file = 0; file < targets_.size(); ++file)
        if (!writers_[file].open(targets_[file] + exportTemporarySuffix, settings_))
            return writeFailure(targets_[file], writers_[file].error());
    return {};
}

// Each tick is written once the next one is there, so that the last one can
// still be faded out.
ExportResult Exporter::renderFile(size_t file)
{
    SoundFileWriter& writer = writers_[file];
    std::string reason;
    int soloChannel = static_cast<int>(file);  // the mix is file 0 and plays all channels
    std::unique_ptr<SongRenderer> renderer = SongRenderer::open(song_, settings_.rate, soloChannel, reason);
    if (!renderer) return {ExportOutcome::renderFailed, reason};
    bool started = false;
    auto next = [&](bool voicesOnly) {
        renderer->renderTick(current_, voicesOnly);
        bool written = !started || writeFrames(writer, pending_);
        std::swap(current_, pending_);
        started = true;
        return written;
    };
    for (long long tick = 0; tick < songTicks_; ++tick) {
        if (cancel_) return {ExportOutcome::cancelled, "cancelled"};
        if (!next(false)) return writeFailure(targets_[file], writer.error());
        if (progress_) progress_(++ticksDone_, ticksTotal_);
    }
    int tailTicks = 0;
    for (; tailGoesOn(tailTicks); ++tailTicks)
        if (!next(true)) return writeFailure(targets_[file], writer.error());
    tailTicks_ = tailTicks;
    fadeOut(pending_, settings_.rate / fadesPerSecond);
    if (!writeFrames(writer, pending_))
        return writeFailure(targets_[file], writer.error());
    return {};
}

// The mix's tail runs until a whole tick is silent, 2 s at the most; the
// stems take the same length, so that they line up with it.
bool Exporter::tailGoesOn(int tailTicks) const
{
    if (tailTicks_ >= 0) return tailTicks < tailTicks_;
    return tailTicks < longestTailTicks && !silent(pending_);
}

bool Exporter::writeFrames(SoundFileWriter& writer, const std::vector<float>& frames)
{
    pcm_.resize(frames.size());
    std::transform(frames.begin(), frames.end(), pcm_.begin(), pcmValue);
    return writer.write(pcm_.data(), pcm_.size() / 2);
}

// Every file is complete before any takes its name, and no name is taken
// from a song: a song saved meanwhile under an export's name stays.
ExportResult Exporter::closeFiles()
{
    for (size_t file = 0; file < targets_.size(); ++file)
        if (!writers_[file].finish()) return writeFailure(targets_[file], writers_[file].error());
    for (const std::string& target : targets_)
        if (fileHoldsSong(target)) return writeFailure(target, "it is a song file, which an export never replaces");
    std::set<std::string> folders;
    for (size_t file = 0; file < targets_.size(); ++file) {
        if (!writers_[file].moveTo(targets_[file])) return writeFailure(targets_[file], writers_[file].error());
        folders.insert(folderOf(targets_[file]));
    }
    for (const std::string& folder : folders) syncFolder(folder);
    return {};
}

ExportResult Exporter::abandon(ExportResult result)
{
    for (SoundFileWriter& writer : writers_) writer.discard();
    return result;
}

} // namespace

std::string stemPath(const std::string& mixPath, int channel, AudioFormat format)
{
    std::string base = mixPath;
    std::string extension = fileExtension(base);
    if (formatOfExtension(extension)) base.resize(base.size() - extension.size());
    return base + "-" + std::to_string(channel) + formatInfo(format).extension;
}

ExportResult exportSong(Song song, const ExportSettings& settings, const std::string& mixPath,
                        const ExportProgress& progress, const std::atomic<bool>& cancel)
{
    if (formatInfo(settings.format).notes) return exportNoteFile(song, settings, mixPath);
    std::vector<std::string> targets = {mixPath};
    for (int channel = 1; settings.stems && channel <= channelCount; ++channel)
        targets.push_back(stemPath(mixPath, channel, settings.format));
    return Exporter(std::move(song), settings, progress, cancel).run(targets);
}
