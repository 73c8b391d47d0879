// The program's audio device on OpenAL Soft's loopback device: nothing goes
// to a sound card, and the mix of every channel is rendered into memory on
// demand, so a test decides exactly how much time passes for the sources.
#pragma once

#include "audio/audio_device.h"

#include <memory>
#include <vector>

class LoopbackAudio {
public:
    static constexpr int sampleRate = 48000;

    // Opens the loopback device with a mono float context, makes it current
    // and builds the process's gxtkAudio on it. ok() tells whether it worked.
    LoopbackAudio();
    ~LoopbackAudio();
    LoopbackAudio(const LoopbackAudio&) = delete;
    LoopbackAudio& operator=(const LoopbackAudio&) = delete;

    bool ok() const { return audio_ != nullptr; }
    gxtkAudio& audio() { return *audio_; }

    // Mixes the next frames of everything that plays (one value per frame).
    std::vector<float> render(int frames);
    std::vector<float> renderSeconds(double seconds);

    // Source parameters as OpenAL holds them for a channel (AL_GAIN,
    // AL_PITCH, AL_SOURCE_STATE, AL_BUFFER, AL_LOOPING, ...).
    float sourceFloat(int channel, int parameter);
    int sourceInt(int channel, int parameter);
    // True when OpenAL still knows the buffer name.
    bool bufferExists(unsigned buffer);

private:
    void* device_ = nullptr;
    void* context_ = nullptr;
    std::unique_ptr<gxtkAudio> audio_;
};
