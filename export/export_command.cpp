#include "export/export_command.h"

#include "export/song_export.h"
#include "host/file_loading.h"
#include "host/headless_game.h"
#include "song/song_file.h"

#include <atomic>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
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

// The whole song file, or nothing after saying why it cannot be had. Only a
// regular file of a song's size is read, as in the tracker.
std::optional<String> readSongText(const std::string& path)
{
    errno = 0;
    std::FILE* file = openLoadableFile(path, textFileLimit);
    if (!file) {
        report("cannot read song file " + path + ": " +
               (errno != 0 ? std::strerror(errno) : "not a regular file of a song's size"));
        return std::nullopt;
    }
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, textFileLimit);
    int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) report("cannot read song file " + path + ": " + std::strerror(readError));
    else if (!bytes) report("cannot read song file " + path + ": it is too large");
    else if (bytes->empty()) report("cannot read song file " + path + ": it is empty");
    if (readError != 0 || !bytes || bytes->empty()) return std::nullopt;
    return decodeText(*bytes);
}

std::string defaultOutPath(const std::string& songPath)
{
    size_t slash = songPath.rfind('/');
    return (slash == std::string::npos ? songPath : songPath.substr(slash + 1)) + ".wav";
}

// Percentage, sound rendered so far and speed, redrawn in place on a
// terminal about ten times a second.
class ProgressLine {
public:
    explicit ProgressLine(bool shown) : shown_(shown), start_(Clock::now()), lastDrawn_(start_) {}

    void update(long long done, long long total)
    {
        Clock::time_point now = Clock::now();
        if (!shown_ || (now - lastDrawn_ < std::chrono::milliseconds(100) && done < total)) return;
        lastDrawn_ = now;
        double seconds = static_cast<double>(done) / updatesPerSecond;
        double elapsed = std::chrono::duration<double>(now - start_).count();
        std::fprintf(stderr, "\rExporting %3lld%%  %d:%04.1f of sound  %.0fx real time ", done * 100 / total,
                     static_cast<int>(seconds / 60), seconds - 60 * static_cast<int>(seconds / 60),
                     elapsed > 0 ? seconds / elapsed : 0.0);
        drawn_ = true;
    }

    ~ProgressLine()
    {
        if (drawn_) std::fputc('\n', stderr);
    }

private:
    bool shown_;
    bool drawn_ = false;
    Clock::time_point start_, lastDrawn_;
};

} // namespace

int runExportCommand(const ExportRequest& request)
{
    // Files and waveforms are found as the tracker finds them, without a window.
    BBHeadlessGame host;
    std::optional<String> text = readSongText(request.songPath);
    if (!text) return exportBadInput;
    Song song;
    song.patternColumns = blankColumns();
    parseSongText(*text, song);
    std::string outPath = request.outPath.empty() ? defaultOutPath(request.songPath) : request.outPath;
    catchInterrupts();
    ExportResult result;
    {
        ProgressLine line(!request.quiet && isatty(STDERR_FILENO));
        auto progress = [&line](long long done, long long total) { line.update(done, total); };
        result = exportSong(std::move(song), request.settings, outPath, progress, interrupted);
    }
    if (result.outcome == ExportOutcome::done) return exportSucceeded;
    if (result.outcome == ExportOutcome::cancelled) {
        report("interrupted; no file written");
        return 128 + interruptSignal;
    }
    report(result.message);
    return exportFailed;
}
