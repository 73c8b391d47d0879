// Ctrl+E: the song as it is in the editor, saved or not, rendered to
// "<name>.wav" in the songs folder on a thread of its own while playing and
// editing go on. The status row follows it.
#include "app/sound_engine.h"

#include "app/user_input.h"
#include "export/background_export.h"
#include "host/game.h"
#include "song/song_file.h"

namespace {
constexpr char32_t exportFailed[] = U"Export Failed!";
constexpr char32_t exportSuffix[] = U".wav";
// While playing, the transport writes its status every step; the outcome of
// an export stays in view over it this long.
constexpr int outcomeSteps = 2 * 50;
constexpr char32_t playingStatus[] = U"Playing...";
} // namespace

// The player hears the song through a song file, so the export reads it
// back from the same text: both get exactly the same song. An export that
// runs already goes on; a second request is not taken.
void c_SoundEngine::exportShortcut()
{
    if (!controlPressed(input(), 'E') || songExport) return;
    BBGame* game = BBGame::game();
    String target = game && !songName.empty() ? game->resolvePath(songFolder + songName + exportSuffix) : String();
    if (target.empty()) return showExportOutcome(exportFailed);
    Song song;
    parseSongText(songText(*this), song);
    exportName = songName + exportSuffix;
    songExport = std::make_shared<BackgroundExport>(std::move(song), ExportSettings(), narrow(target), exportHolds);
}

// Shown after the transport's own status, so it stays in view while playing.
void c_SoundEngine::followExport()
{
    if (!songExport) {
        if (exportOutcomeSteps > 0 && --exportOutcomeSteps > 0 && statusText == playingStatus)
            statusText = exportOutcome;
        return;
    }
    if (!songExport->finished()) {
        statusText = U"Exporting " + intText(songExport->percent()) + U"%";
        return;
    }
    showExportOutcome(songExport->result().outcome == ExportOutcome::done ? U"Exported " + exportName : exportFailed);
    songExport.reset();
}

void c_SoundEngine::showExportOutcome(const String& text)
{
    exportOutcome = text;
    statusText = text;
    exportOutcomeSteps = outcomeSteps;
}
