#include "app/sound_engine.h"

#include "audio/sound.h"
#include "graphics/font.h"
#include "graphics/image.h"
#include "host/startup_trace.h"
#include "player/kovo_play.h"
#include "player/waveform_table.h"
#include "song/song_file.h"

c_SoundEngine::c_SoundEngine() = default;
c_SoundEngine::~c_SoundEngine() = default;

// Resources first, then the blank song with its undo history, then a player
// that holds no song yet.
void c_SoundEngine::create()
{
    setUpdateRate(50);
    removeInterruptedSaves();
    fontImage = loadAsciiStripFont(U"zukafont.png", false);
    selectFont(fontImage);
    buttonImage = loadImageSingle(U"button1.png", 0);
    navRowImage = loadImageSingle(U"button_navrow.png", 0);
    traceStartup("font and buttons");
    patternColumns = blankColumns();
    for (int column = 0; column < columnCount; ++column) {
        for (int slot = 0; slot < undoSlotCount; ++slot)
            undoRing[column][slot] = slot < undoSlotCount / 2 ? patternColumns[column] : PatternColumn();
    }
    takeUndoSnapshot(true);  // the blank song is the oldest state, as a loaded one is
    cursorColumn = 1;
    cursorRow = 1;
    positions.fill(0);
    player = std::make_shared<c_kovoPlay>();
    statusText = U"Standby...";
    readMidiSettings();
    readNoteKeySetting();
    readKeyFile();
    exportFormat = rememberedExportFormat();
    if (startSongPath.empty())
        restoreUnsavedSong();
    else
        openStartSong();
}

void c_SoundEngine::createSounds()
{
    for (int i = 0; i < waveformCount; ++i) previewSounds[i] = loadSoundFile(waveformFiles[i]);
    traceStartup("waveforms");
}

// --play: F1 once the screen has been shown, as a user would press it, so
// that the grid stands under the playing song as it does after F1.
void c_SoundEngine::playAtStart()
{
    if (!startPlaying || bodyShownBase < 0) return;
    startPlaying = false;
    startPlaybackFromStart();
}
