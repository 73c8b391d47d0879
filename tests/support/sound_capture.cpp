#include "tests/support/sound_capture.h"

#include "tests/support/child_process.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/wait.h"

#include <cmath>
#include <cstdint>
#include <cstring>

SoundCapture::SoundCapture()
    : wavPath_(folder_.path() + "/capture.wav"),
      configPath_(folder_.write("alsoft.conf", "[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\n"
                                               "frequency = 48000\n[wave]\nfile = " + wavPath_ + "\n"))
{
}

std::vector<float> SoundCapture::samples() const { return readCaptureSamples(wavPath_); }

std::vector<float> readCaptureSamples(const std::string& path)
{
    std::string bytes = readFileBytes(path);
    size_t data = bytes.find("data");
    std::vector<float> out;
    if (data == std::string::npos) return out;
    for (size_t i = data + 8; i + 1 < bytes.size(); i += 2) {
        int16_t value;
        std::memcpy(&value, bytes.data() + i, 2);
        out.push_back(value / 32768.0f);
    }
    return out;
}

size_t firstSoundAfter(const std::vector<float>& samples, size_t from, float level)
{
    for (size_t i = from; i < samples.size(); ++i)
        if (std::abs(samples[i]) > level) return i;
    return samples.size();
}

std::vector<float> SoundCapture::heardAfter(size_t from, size_t skip, size_t length, double timeoutSeconds) const
{
    std::vector<float> heard;
    waitFor([&] {
        std::vector<float> all = samples();
        size_t onset = firstSoundAfter(all, from);
        if (onset + skip + length > all.size()) return false;
        heard = slice(all, onset + skip, onset + skip + length);
        return true;
    }, timeoutSeconds);
    return heard;
}
