#include "host/headless_game.h"

#include "host/audio_file_loading.h"
#include "host/data_paths.h"

String BBHeadlessGame::resolvePath(const String& path)
{
    return resolveDataPath(path);
}

std::optional<AudioSamples> BBHeadlessGame::loadAudioSamples(const String& path)
{
    return loadAudioFile(*this, path);
}
