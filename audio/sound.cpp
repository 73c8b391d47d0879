#include "audio/sound.h"

#include "audio/audio_device.h"
#include "host/data_paths.h"

std::shared_ptr<c_Sound> loadSoundFile(const String& path)
{
    gxtkAudio* audio = gxtkAudio::audio();
    std::shared_ptr<gxtkSample> sample = audio ? audio->createSample(fixDataPath(path)) : nullptr;
    if (!sample) return nullptr;
    auto sound = std::make_shared<c_Sound>();
    sound->sample = std::move(sample);
    return sound;
}

void playSoundOn(const std::shared_ptr<c_Sound>& sound, int channel, int flags)
{
    gxtkAudio* audio = gxtkAudio::audio();
    if (audio && sound && sound->sample) audio->startSample(sound->sample, channel, flags);
}

// Before the framework has made its device there is nothing to drive.
void haltChannel(int channel)
{
    if (gxtkAudio* audio = gxtkAudio::audio()) audio->haltChannel(channel);
}

void setChannelGain(int channel, float gain)
{
    if (gxtkAudio* audio = gxtkAudio::audio()) audio->setChannelGain(channel, gain);
}

void setChannelPitch(int channel, float factor)
{
    if (gxtkAudio* audio = gxtkAudio::audio()) audio->setChannelPitch(channel, factor);
}
