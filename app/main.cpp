#include "app/keys/command_line.h"
#include "app/files/export_song_lookup.h"
#include "app/screen/screen_layout.h"
#include "app/sound_engine.h"
#include "graphics/graphics_context.h"
#include "framework/entry.h"
#include "midi/midi_input.h"
#include "host/window_scale.h"

#include <cstdio>

namespace {
// The title names the two keys a newcomer needs first: every other key is
// in the help, every song in the list. The window's picture stays as it is.
const BBWindowPicture trackerWindow {U"Kovo Tracker v" KOVO_VERSION U" - Ctrl+H: keys, Ctrl+O: songs",
                                     layout::windowWidth, layout::windowHeight, "kovo-tracker"};
} // namespace

int main(int argc, char** argv)
{
    CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::showHelp:
        std::fputs(helpText, stdout);
        return 0;
    case CommandLine::badUsage:
        std::fprintf(stderr, "kovo-tracker: %s\n%s", line.error.c_str(), usageText);
        return exportBadInput;
    case CommandLine::exportSong:
        for (std::string& song : line.exportRequest.songPaths) song = exportSongFile(song);
        return runExportCommand(line.exportRequest);
    case CommandLine::runTracker:
        break;
    }
    requestWindowScale(line.windowScale);
    requestMidiInput();
    return runProgram(argc, argv, trackerWindow, [&line] {
        createDrawState();
        // The application lives until the process ends.
        static std::unique_ptr<c_SoundEngine> app = std::make_unique<c_SoundEngine>();
        app->startWith(widen(line.songPath), line.play);
    });
}
