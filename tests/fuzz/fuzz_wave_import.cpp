// Bytes → own wave through the single-cycle WAV reader: it either gives a
// wave within the stock peak and without DC, or says why it gave none.
#include "song/wave_file_import.h"
#include "song/wave_shapes.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>
#include <numeric>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WaveImport taken = importWaveBytes(std::string(reinterpret_cast<const char*>(data), size));
    fuzzCheck(taken.wave.has_value() != (taken.problem != nullptr), "a wave or a reason, never both");
    if (!taken.wave) return 0;
    for (int16_t value : *taken.wave) fuzzCheck(std::abs(value) <= ownWavePeak, "within the stock peak");
    long sum = std::accumulate(taken.wave->begin(), taken.wave->end(), 0L);
    fuzzCheck(std::labs(sum) <= ownWaveFrames, "no DC");
    return 0;
}
