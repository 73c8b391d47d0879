// An audio device of its own that mixes into memory instead of playing: the
// loopback device of OpenAL Soft, for rendering sound faster than real time.
// Its context is current only on the thread that asks for it, so it can run
// beside the process's device.
#pragma once

#include "audio/audio_device.h"

#include <memory>
#include <string>

class LoopbackDevice {
public:
    // A device mixing interleaved stereo float frames at the rate; null, with
    // the reason, when this OpenAL cannot do it. Its context is made current
    // on the calling thread.
    static std::unique_ptr<LoopbackDevice> open(int rate, std::string& reason);
    ~LoopbackDevice();
    LoopbackDevice(const LoopbackDevice&) = delete;
    LoopbackDevice& operator=(const LoopbackDevice&) = delete;

    // The channels and samples of this device: a player given it plays here.
    gxtkAudio& audio() { return *audio_; }

    // Mixes the next frames of everything that plays into left, right pairs.
    void render(float* frames, int frameCount);

private:
    LoopbackDevice(void* device, void* context);
    void makeCurrent();

    void* device_;
    void* context_;
    void* renderSamples_;  // the extension's entry point, looked up once
    std::unique_ptr<gxtkAudio> audio_;
};
