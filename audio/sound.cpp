#include "audio/sound.h"

#include "audio/audio_decoders.h"
#include "audio/audio_device.h"
#include "base/data_paths.h"

std::shared_ptr<c_Sound> loadSoundFile(gxtkAudio* audio, const String& path)
{
    std::shared_ptr<gxtkSample> sample = audio ? audio->createSample(fixDataPath(path)) : nullptr;
    if (!sample) return nullptr;
    auto sound = std::make_shared<c_Sound>();
    sound->sample = std::move(sample);
    return sound;
}

std::shared_ptr<c_Sound> soundOfFrames(gxtkAudio* audio, const int16_t* frames, size_t count, int rate)
{
    if (!audio) return nullptr;
    AudioSamples pcm;
    pcm.channels = 1;
    pcm.bytesPerSample = 2;
    pcm.rate = rate;
    pcm.length = static_cast<int>(count);
    // Little-endian, as the decoders hand 16-bit PCM over.
    for (size_t i = 0; i < count; ++i) {
        auto bits = static_cast<uint16_t>(frames[i]);
        pcm.data.push_back(static_cast<unsigned char>(bits & 0xFF));
        pcm.data.push_back(static_cast<unsigned char>(bits >> 8));
    }
    auto sound = std::make_shared<c_Sound>();
    sound->sample = audio->createSample(pcm);
    return sound;
}

void playSoundOn(gxtkAudio* audio, const std::shared_ptr<c_Sound>& sound, int channel, int flags)
{
    if (audio && sound && sound->sample) audio->startSample(sound->sample, channel, flags);
}

// Before the framework has made its device there is nothing to drive.
void haltChannel(gxtkAudio* audio, int channel)
{
    if (audio) audio->haltChannel(channel);
}

void setChannelGain(gxtkAudio* audio, int channel, float gain)
{
    if (audio) audio->setChannelGain(channel, gain);
}

void setChannelPitch(gxtkAudio* audio, int channel, float factor)
{
    if (audio) audio->setChannelPitch(channel, factor);
}

// ---- On the process's device ----

std::shared_ptr<c_Sound> loadSoundFile(const String& path) { return loadSoundFile(gxtkAudio::audio(), path); }

void playSoundOn(const std::shared_ptr<c_Sound>& sound, int channel, int flags)
{
    playSoundOn(gxtkAudio::audio(), sound, channel, flags);
}

void haltChannel(int channel) { haltChannel(gxtkAudio::audio(), channel); }
void setChannelGain(int channel, float gain) { setChannelGain(gxtkAudio::audio(), channel, gain); }
void setChannelPitch(int channel, float factor) { setChannelPitch(gxtkAudio::audio(), channel, factor); }
