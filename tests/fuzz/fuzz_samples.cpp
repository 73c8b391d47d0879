#include "tests/fuzz/fuzz_samples.h"

#include "audio/audio_file_loading.h"
#include "host/game.h"
#include "tests/fuzz/fuzz_input.h"

std::optional<AudioSamples> checkDecodedSamples(const std::string& name, const uint8_t* data, size_t size)
{
    std::string path = writeFuzzFile(name, data, size);
    std::optional<AudioSamples> samples = loadAudioSamples(widen(path));
    if (!samples) return samples;
    fuzzCheck(samples->channels > 0 && samples->bytesPerSample > 0 && samples->length >= 0, "a sane layout");
    const size_t frameBytes = static_cast<size_t>(samples->channels) * static_cast<size_t>(samples->bytesPerSample);
    fuzzCheck(static_cast<size_t>(samples->length) * frameBytes <= samples->data.size(), "frames inside the data");
    return samples;
}
