#include "audio/sample_frames.h"

#include <cstdint>

namespace {

// One PCM value as -1 to 1: 8-bit data is unsigned, 16-bit signed little-endian.
float pcmValue(const unsigned char* at, int bytesPerSample)
{
    if (bytesPerSample == 1) return (static_cast<float>(at[0]) - 128.0f) / 128.0f;
    auto value = static_cast<int16_t>(static_cast<uint16_t>(at[0] | (at[1] << 8)));
    return static_cast<float>(value) / 32768.0f;
}

} // namespace

std::vector<float> monoFrames(const AudioSamples& samples)
{
    std::vector<float> frames;
    bool layoutKnown = (samples.bytesPerSample == 1 || samples.bytesPerSample == 2) &&
                       (samples.channels == 1 || samples.channels == 2);
    if (!layoutKnown || samples.length <= 0 || samples.length > scopeFramesLimit) return frames;
    size_t frameBytes = static_cast<size_t>(samples.bytesPerSample * samples.channels);
    if (frameBytes * static_cast<size_t>(samples.length) > samples.data.size()) return frames;
    frames.resize(static_cast<size_t>(samples.length));
    for (size_t i = 0; i < frames.size(); ++i) {
        const unsigned char* frame = samples.data.data() + i * frameBytes;
        float sum = 0;
        for (int c = 0; c < samples.channels; ++c) sum += pcmValue(frame + c * samples.bytesPerSample, samples.bytesPerSample);
        frames[i] = sum / static_cast<float>(samples.channels);
    }
    return frames;
}
