// WAV bytes through the host's sample loader.
#include "tests/fuzz/fuzz_samples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkDecodedSamples("input.wav", data, size);
    return 0;
}
