// The application's view of sound: loaded sounds played on numbered channels.
#pragma once

#include "host/text.h"

#include <memory>

class gxtkSample;

class c_Sound {
public:
    std::shared_ptr<gxtkSample> sample;
};

// Loads a WAV or Ogg file of the data folder; null when it cannot be loaded.
std::shared_ptr<c_Sound> loadSoundFile(const String& path);

// Starts the sound on a channel (looped when flags is nonzero); an empty
// sound does nothing.
void playSoundOn(const std::shared_ptr<c_Sound>& sound, int channel, int flags);

void haltChannel(int channel);
void setChannelGain(int channel, float gain);
void setChannelPitch(int channel, float factor);
