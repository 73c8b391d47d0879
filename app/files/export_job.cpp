// Ctrl+E: the song as it is in the editor, saved or not, rendered to
// "<name>.<ext>" in the songs folder on a thread of its own while playing
// and editing go on. The status row follows it. Ctrl+F picks the kind of
// file, kept in the settings file for the next start.
#include "app/files/export_job.h"

#include "app/editing/cell_text.h"
#include "app/files/file_place.h"
#include "app/screen/status_texts.h"
#include "base/data_paths.h"
#include "base/settings_file.h"
#include "export/background_export.h"
#include "song/song_file.h"

#include <cstdio>

namespace {
constexpr char formatKey[] = "export_format";

// The status row has room for "Export Failed!" only; the reason goes to
// standard error, as the command-line export gives it.
void reportExportProblem(const std::string& reason) { std::fprintf(stderr, "kovo-tracker: %s\n", reason.c_str()); }
} // namespace

ExportJob::ExportJob(const Song& song, const SongIdentity& identity, StatusRow& status)
    : song(song), identity(identity), status(status)
{
}

ExportJob::~ExportJob() = default;

void ExportJob::cancel() { songExport.reset(); }

// The song's file name is its title in the file's tags. The file goes into
// the songs folder as SAVE's would, and never over a song: a song saved as
// "beat.wav" stays when "beat" is exported.
void ExportJob::startExport()
{
    if (songExport) return;
    String fileName = identity.songName + widen(formatInfo(exportFormat).extension);
    bool named = !identity.songName.empty() && songNameStaysInFolder(identity.songName);
    String target = named ? resolveDataPath(songFolder + fileName) : String();
    if (target.empty()) return showExportOutcome(statusExportFailed);
    if (fileHoldsSong(narrow(target))) {
        reportExportProblem(narrow(fileName) + " is a song file, which an export never replaces");
        return showExportOutcome(statusExportFailed);
    }
    // The export hears the song as the player does, as its file keeps it (the
    // length and speed settled for the export only after that). An export
    // that runs already goes on; a second request is not taken.
    Song copy = storedSong(song);
    exportTarget = target;
    ExportSettings settings;
    settings.format = exportFormat;
    settings.title = narrow(identity.songName);
    songExport = std::make_shared<BackgroundExport>(std::move(copy), settings, narrow(target), exportHolds);
}

void ExportJob::cycleExportFormat()
{
    exportFormat = nextFormat(exportFormat);
    writeSetting(settingsFilePath(), formatKey, formatInfo(exportFormat).name);
    showExportOutcome(statusExportFormat + widen(formatInfo(exportFormat).label));
}

// WAV unless the settings file names another format.
void ExportJob::readFormatSetting()
{
    std::optional<std::string> name = readSetting(settingsFilePath(), formatKey);
    std::optional<AudioFormat> format = name ? formatNamed(*name) : std::nullopt;
    exportFormat = format.value_or(AudioFormat::wav);
}

// Shown after the transport's own status, so it stays in view while playing.
void ExportJob::followExport()
{
    if (!songExport) {
        if (exportOutcomeSteps > 0 && --exportOutcomeSteps > 0 && status.shows(statusPlaying))
            status.say(exportOutcome);
        return;
    }
    if (!songExport->finished()) {
        status.say(statusExporting + intText(songExport->percent()) + U"%");
        return;
    }
    const ExportResult& result = songExport->result();
    if (result.outcome != ExportOutcome::done && result.outcome != ExportOutcome::cancelled)
        reportExportProblem(result.message);
    if (result.outcome == ExportOutcome::done) {
        // In full where it can be copied from; the screen shows what fits.
        std::printf("kovo-tracker: exported %s\n", narrow(exportTarget).c_str());
        std::fflush(stdout);
    }
    showExportOutcome(result.outcome == ExportOutcome::done ? statusExported + shownFilePlace(exportTarget)
                                                            : statusExportFailed);
    songExport.reset();
}

void ExportJob::showExportOutcome(const String& text)
{
    exportOutcome = text;
    status.say(text);
    exportOutcomeSteps = outcomeHoldSteps;
}
