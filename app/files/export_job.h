// The export job (Ctrl+E): the song as it is in the editor rendered to a
// file in the songs folder on a thread of its own, the status row following
// it; Ctrl+F picks the kind of file.
#pragma once

#include "app/files/song_identity.h"
#include "app/screen/status_row.h"
#include "export/audio_format.h"
#include "song/song_model.h"

#include <memory>
#include <utility>
#include <vector>

class BackgroundExport;

class ExportJob {
public:
    ExportJob(const Song& song, const SongIdentity& identity, StatusRow& status);
    ~ExportJob();

    // WAV unless the settings file names another format.
    void readFormatSetting();
    void startExport();
    void cycleExportFormat();
    // The status row's view of a running export, and of its outcome.
    void followExport();
    // An unfinished export is stopped and its files removed.
    void cancel();

    // The export running now; none while none runs.
    BackgroundExport* running() const { return songExport.get(); }
    // Where the next Ctrl+E render waits until running()->release()
    // (percentages): tests see the status row at a known point of a render.
    void holdAt(std::vector<int> percentages) { exportHolds = std::move(percentages); }

private:
    void showExportOutcome(const String& text);

    std::shared_ptr<BackgroundExport> songExport;  // while one runs
    AudioFormat exportFormat = AudioFormat::wav;   // as the settings file remembers it
    String exportTarget;                           // its file, for the status row
    String exportOutcome;                          // "Exported <name>.<ext>", "Export Failed!", the format
    int exportOutcomeSteps = 0;                    // steps it still shows over "Playing..."
    std::vector<int> exportHolds;

    const Song& song;
    const SongIdentity& identity;
    StatusRow& status;
};
