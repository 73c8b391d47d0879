// A host (for file loading) and the audio device on a loopback device, with
// WAV files written into a temporary folder.
#pragma once

#include "audio/audio_device.h"
#include "host/glfw_game.h"
#include "tests/support/loopback_audio.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <memory>

// The loop flag of a channel's play operations.
inline constexpr int looped = 1;
inline constexpr int once = 0;

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(loopback.ok()) << "OpenAL Soft loopback device unavailable"; }

    gxtkAudio& audio() { return loopback.audio(); }

    // Writes a 16-bit mono WAV and loads it as a sample.
    std::shared_ptr<gxtkSample> loadSample(const std::string& name, const std::vector<int16_t>& values,
                                           int rate = LoopbackAudio::sampleRate)
    {
        WavLayout layout;
        layout.rate = rate;
        layout.data = pcm16(values);
        return audio().createSample(widen(folder.write(name, wavBytes(layout))));
    }

    BBQuorvaneGame game;
    TempFolder folder;
    LoopbackAudio loopback;
};
