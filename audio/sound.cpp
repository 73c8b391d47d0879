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
    if (sound && sound->sample) gxtkAudio::audio()->startSample(sound->sample, channel, flags);
}

void haltChannel(int channel) { gxtkAudio::audio()->haltChannel(channel); }
void setChannelGain(int channel, float gain) { gxtkAudio::audio()->setChannelGain(channel, gain); }
void setChannelPitch(int channel, float factor) { gxtkAudio::audio()->setChannelPitch(channel, factor); }
