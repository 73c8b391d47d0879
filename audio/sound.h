// The application's view of sound: loaded sounds played on numbered channels.
// Each operation has a form for a given device and one for the process's
// device; a null device does nothing.
#pragma once

#include "base/text.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class gxtkAudio;
class gxtkSample;

class c_Sound {
public:
    std::shared_ptr<gxtkSample> sample;
};

// Loads a WAV or Ogg file of the data folder; null when it cannot be loaded.
std::shared_ptr<c_Sound> loadSoundFile(const String& path);
std::shared_ptr<c_Sound> loadSoundFile(gxtkAudio* audio, const String& path);
// A sound of signed 16-bit mono frames at a rate, made in memory; null
// without a device.
std::shared_ptr<c_Sound> soundOfFrames(gxtkAudio* audio, const int16_t* frames, size_t count, int rate);

// Starts the sound on a channel (looped when flags is nonzero); an empty
// sound does nothing.
void playSoundOn(const std::shared_ptr<c_Sound>& sound, int channel, int flags);
void playSoundOn(gxtkAudio* audio, const std::shared_ptr<c_Sound>& sound, int channel, int flags);

void haltChannel(int channel);
void haltChannel(gxtkAudio* audio, int channel);
void setChannelGain(int channel, float gain);
void setChannelGain(gxtkAudio* audio, int channel, float gain);
void setChannelPitch(int channel, float factor);
void setChannelPitch(gxtkAudio* audio, int channel, float factor);
