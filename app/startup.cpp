#include "app/sound_engine.h"

#include "app/screen/status_texts.h"
#include "audio/sound.h"
#include "base/data_paths.h"
#include "graphics/font.h"
#include "graphics/image.h"
#include "graphics/image_file_loading.h"
#include "host/game.h"
#include "host/startup_trace.h"
#include "player/kovo_play.h"
#include "song/song_file.h"
#include "song/waveform_table.h"

#include <array>

namespace {

// The program's icon as the desktop has it, in the sizes a window manager
// picks from for title bars, task bars and window switchers.
constexpr std::array<const char32_t*, 5> windowIconFiles = {
    U"icon16.png", U"icon32.png", U"icon48.png", U"icon64.png", U"icon128.png"};

} // namespace

c_SoundEngine::c_SoundEngine() = default;
c_SoundEngine::~c_SoundEngine() = default;

// Resources first, then the blank song with its undo history, then a player
// that holds no song yet.
void c_SoundEngine::create()
{
    setUpdateRate(50);
    removeInterruptedSaves();
    painter.loadImages();
    traceStartup("font and buttons");
    song.patternColumns = blankColumns();
    undo.startBlank();
    cursor.column = 1;
    cursor.row = 1;
    song.positions.fill(0);
    transport.usePlayer(std::make_shared<c_kovoPlay>());
    status.say(statusStandby);
    keys.readSettings(input());
    transport.readFollowSetting();
    exportJob.readFormatSetting();
    readScreenSettings();
    if (startSongPath.empty())
        restoreUnsavedSong();
    else
        openStartSong();
}

// The icon, like the sounds, waits until the first picture is shown.
void c_SoundEngine::createSounds()
{
    std::array<std::shared_ptr<c_Sound>, waveformCount> sounds;
    for (size_t i = 0; i < waveformCount; ++i) sounds[i] = loadSoundFile(widen(waveformFiles[i]));
    preview.useSounds(sounds);
    traceStartup("waveforms");
    showWindowIcon();
}

void c_SoundEngine::showWindowIcon()
{
    BBGame* game = BBGame::game();
    if (!game) return;
    std::vector<ImagePixels> icons;
    for (const char32_t* file : windowIconFiles) icons.push_back(loadImagePixels(fixDataPath(file)));
    game->setWindowIcons(icons);
}

// Brings back the song a close, a signal or a crash left unsaved.
void c_SoundEngine::restoreUnsavedSong()
{
    int position = 0;
    if (!unsaved.restoreUnsavedSong(song, identity, cursor, position)) return;
    transport.goToPosition(position);
    undo.takeUndoSnapshot(true);
}

void c_SoundEngine::startWith(const String& songPath, bool play)
{
    startSongPath = songPath;
    startPlaying = play;
}

// Loaded as LOAD loads, but the unsaved work of an earlier run is neither
// restored nor thrown away. --play plays only a song that loaded.
void c_SoundEngine::openStartSong()
{
    if (!files.openStartSong(startSongPath)) startPlaying = false;
}

void c_SoundEngine::render() { painter.render(); }
