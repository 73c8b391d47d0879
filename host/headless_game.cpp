#include "host/headless_game.h"

#include "host/audio_file_loading.h"
#include "host/data_paths.h"

String BBHeadlessGame::resolvePath(const String& path)
{
    if (appDirectory_.empty()) appDirectory_ = findExecutableDirectory();
    return mapSchemePath(path, appDirectory_);
}

std::optional<AudioSamples> BBHeadlessGame::loadAudioSamples(const String& path)
{
    return loadAudioFile(*this, path);
}
