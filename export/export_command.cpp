#include "export/export_command.h"

#include "base/data_paths.h"
#include "base/file_loading.h"
#include "export/song_export.h"
#include "export/sound_file_writer.h"
#include "song/module_import.h"
#include "song/song_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Set by Ctrl+C and friends: the export stops at the next tick and removes
// its unfinished files instead of leaving them behind.
std::atomic<bool> interrupted {false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
volatile std::sig_atomic_t interruptSignal = 0;

void onInterrupt(int signal)
{
    interruptSignal = signal;
    interrupted = true;
}

void catchInterrupts()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, onInterrupt);
}

void report(const std::string& message) { std::fprintf(stderr, "kovo-tracker: %s\n", message.c_str()); }

// The whole song file, or the reason it cannot be had. Only a regular file
// of a song's size is read, as in the tracker.
std::optional<String> readSongText(const std::string& path, std::string& reason)
{
    errno = 0;
    std::FILE* file = openLoadableFile(path, textFileLimit);
    if (!file) {
        reason = errno != 0 ? std::strerror(errno) : "not a regular file of a song's size";
        return std::nullopt;
    }
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, textFileLimit);
    int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) reason = std::strerror(readError);
    else if (!bytes) reason = "it is too large";
    else if (bytes->empty()) reason = "it is empty";
    if (!reason.empty()) return std::nullopt;
    return decodeText(*bytes);
}

std::string fileNameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A song file, or a module (by its name) read through libopenmpt; a module
// name on a file of this program's own is a song all the same.
std::optional<Song> readSong(const std::string& path, std::string& reason)
{
    if (namesModule(fileNameOf(path)) && !fileHoldsSong(path)) {
        std::optional<Song> module = importModuleFile(path);
        if (!module) reason = "not a module libopenmpt can read, or larger than 16 MiB";
        return module;
    }
    std::optional<String> text = readSongText(path, reason);
    if (!text) return std::nullopt;
    Song song;
    song.patternColumns = blankColumns();
    parseSongText(*text, song);
    return song;
}

std::string targetOf(const ExportRequest& request, const std::string& songPath)
{
    std::string fileName = fileNameOf(songPath) + formatInfo(request.settings.format).extension;
    const std::string& out = request.outPath;
    if (request.songPaths.size() == 1 && !namesFolder(out)) return out.empty() ? fileName : out;
    if (out.empty()) return fileName;
    return out.back() == '/' ? out + fileName : out + "/" + fileName;
}

void writeDuration(std::FILE* to, double seconds)
{
    int minutes = static_cast<int>(seconds / 60);
    std::fprintf(to, "%d:%04.1f of sound", minutes, seconds - 60 * minutes);
}

// How far the export is, redrawn in place on a terminal about ten times a
// second: the percentage of one song, or the songs done of a batch, then
// the sound rendered so far and the speed.
class ProgressLine {
public:
    ProgressLine(bool shown, int songCount) : shown_(shown), songCount_(songCount), start_(Clock::now()) {}

    void update(int songsDone, int percent, long long ticks, bool last)
    {
        std::unique_lock<std::mutex> hold(lock_, std::try_to_lock);
        Clock::time_point now = Clock::now();
        if (!shown_ || !hold || (now - lastDrawn_ < std::chrono::milliseconds(100) && !last)) return;
        lastDrawn_ = now;
        double seconds = static_cast<double>(ticks) / updatesPerSecond;
        double elapsed = std::chrono::duration<double>(now - start_).count();
        if (songCount_ == 1) std::fprintf(stderr, "\rExporting %3d%%  ", percent);
        else std::fprintf(stderr, "\rExporting: %d of %d songs done  ", songsDone, songCount_);
        writeDuration(stderr, seconds);
        std::fprintf(stderr, "  %.0fx real time ", elapsed > 0 ? seconds / elapsed : 0.0);
        drawn_ = true;
    }

    // A line of its own, below the progress line so far.
    void say(const std::string& message)
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
        report(message);
    }

    ~ProgressLine()
    {
        if (drawn_) std::fputc('\n', stderr);
    }

private:
    bool shown_;
    int songCount_;
    bool drawn_ = false;
    Clock::time_point start_, lastDrawn_;
    std::mutex lock_;
};

// The songs of one call, each rendered by whichever job is free next.
class BatchExport {
public:
    BatchExport(const ExportRequest& request, std::vector<std::string> targets)
        : request_(request), targets_(std::move(targets)), statuses_(targets_.size(), exportSucceeded),
          line_(!request.quiet && isatty(STDERR_FILENO), static_cast<int>(targets_.size()))
    {
    }

    int run();

private:
    void work();
    int exportOne(size_t index);

    const ExportRequest& request_;
    std::vector<std::string> targets_;
    std::vector<int> statuses_;  // each song's own, written by the job that did it
    std::atomic<size_t> next_ {0};
    std::atomic<int> songsDone_ {0};
    std::atomic<long long> ticksRendered_ {0};
    std::atomic<bool> cancelled_ {false};
    ProgressLine line_;
};

int BatchExport::run()
{
    size_t cores = std::max(1u, std::thread::hardware_concurrency());
    size_t jobs = std::min(targets_.size(), request_.jobs > 0 ? static_cast<size_t>(request_.jobs) : cores);
    std::vector<std::thread> threads;
    for (size_t job = 1; job < jobs; ++job) threads.emplace_back([this] { work(); });
    work();
    for (std::thread& thread : threads) thread.join();
    if (cancelled_) {
        line_.say(targets_.size() == 1 ? "interrupted; no file written" : "interrupted; unfinished files removed");
        return 128 + interruptSignal;
    }
    if (std::count(statuses_.begin(), statuses_.end(), exportFailed) > 0) return exportFailed;
    if (std::count(statuses_.begin(), statuses_.end(), exportBadInput) > 0) return exportBadInput;
    return exportSucceeded;
}

void BatchExport::work()
{
    for (size_t index = next_++; index < targets_.size() && !interrupted; index = next_++) {
        if (targets_[index].empty()) continue;  // reported already
        statuses_[index] = exportOne(index);
        ++songsDone_;
        line_.update(songsDone_, 100, ticksRendered_, songsDone_ == static_cast<int>(targets_.size()));
    }
}

int BatchExport::exportOne(size_t index)
{
    const std::string& songPath = request_.songPaths[index];
    std::string reason;
    std::optional<Song> song = readSong(songPath, reason);
    if (!song) {
        line_.say("cannot read song file " + songPath + ": " + reason);
        return exportBadInput;
    }
    ExportSettings settings = request_.settings;
    settings.title = fileNameOf(songPath);
    long long counted = 0;
    auto progress = [&](long long done, long long total) {
        ticksRendered_ += done - counted;
        counted = done;
        line_.update(songsDone_, static_cast<int>(done * 100 / total), ticksRendered_, false);
    };
    ExportResult result = exportSong(std::move(*song), settings, targets_[index], progress, interrupted);
    if (result.outcome == ExportOutcome::done) return exportSucceeded;
    if (result.outcome == ExportOutcome::cancelled) cancelled_ = true;
    else line_.say(result.message);
    return exportFailed;
}

// Every file one song's export writes: the mix, then the stems.
std::vector<std::string> outputsOf(const ExportRequest& request, const std::string& target)
{
    std::vector<std::string> outputs = {target};
    for (int channel = 1; request.settings.stems && channel <= channelCount; ++channel)
        outputs.push_back(stemPath(target, channel, request.settings.format));
    return outputs;
}

// One spelling for each file name, so that "out//a.wav" and "./out/a.wav" meet.
std::string spelledOnce(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

// Why a song's files may not be written, or null: one of them is another
// song's file of this call, the song file itself, or any song file.
const char* clashOf(const std::string& songPath, const std::vector<std::string>& outputs,
                    const std::set<std::string>& taken, std::string& blamed)
{
    for (const std::string& output : outputs) {
        std::error_code error;
        blamed = output;
        if (taken.count(spelledOnce(output))) return "another song is exported to ";
        if (std::filesystem::equivalent(songPath, output, error)) return "it would be replaced by ";
        if (fileHoldsSong(output)) return "an export never replaces the song file ";
    }
    return nullptr;
}

// The file of each song, or an empty one for a song that clashOf refuses:
// that one is reported and skipped.
std::vector<std::string> targetsOf(const ExportRequest& request, bool& clashed)
{
    std::vector<std::string> targets;
    std::set<std::string> taken;
    for (const std::string& songPath : request.songPaths) {
        std::string target = targetOf(request, songPath);
        std::vector<std::string> outputs = outputsOf(request, target);
        std::string blamed;
        if (const char* clash = clashOf(songPath, outputs, taken, blamed)) {
            report("skipped song file " + songPath + ": " + clash + blamed);
            target.clear();
            clashed = true;
        }
        for (const std::string& output : outputs)
            if (!target.empty()) taken.insert(spelledOnce(output));
        targets.push_back(target);
    }
    return targets;
}

} // namespace

bool namesFolder(const std::string& outPath)
{
    std::error_code error;
    return !outPath.empty() && (outPath.back() == '/' || std::filesystem::is_directory(outPath, error));
}

int runExportCommand(const ExportRequest& request)
{
    // Files and waveforms are found as the tracker finds them, without a
    // window. The data folder is looked up now, before the jobs ask for it.
    processDataFolders();
    const AudioFormatInfo& format = formatInfo(request.settings.format);
    if (!canWriteFormat(format.format, request.settings.rate)) {
        report(std::string("this libsndfile cannot write ") + format.label + " files");
        return exportFailed;
    }
    std::error_code error;
    if (!request.outPath.empty() && request.outPath.back() == '/')
        std::filesystem::create_directories(request.outPath, error);
    bool clashed = false;
    std::vector<std::string> targets = targetsOf(request, clashed);
    catchInterrupts();
    int status = BatchExport(request, std::move(targets)).run();
    return status == exportSucceeded && clashed ? exportBadInput : status;
}
