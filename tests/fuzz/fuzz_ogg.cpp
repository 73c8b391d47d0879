// Ogg Vorbis bytes through the host's sample loader.
#include "audio/audio_decoders.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_samples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::optional<AudioSamples> samples = checkDecodedSamples("input.ogg", data, size);
    if (samples) {
        fuzzCheck(samples->data.size() <= maxDecodedOggBytes, "decoded size within the limit");
        fuzzCheck(samples->bytesPerSample == 2, "16-bit samples");
    }
    return 0;
}
