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
                                               "frequency = 48000\n[wave]\nfile = " + wavPath_ + "\n")),
      reader_(wavPath_)
{
}

const std::vector<float>& CaptureReader::samples()
{
    std::string fresh = readFileBytesFrom(path_, taken_);
    if (fresh.empty() && fileSize(path_) < taken_) {
        *this = CaptureReader(path_);
        fresh = readFileBytesFrom(path_, 0);
    }
    taken_ += static_cast<long long>(fresh.size());
    pending_ += fresh;
    if (!inData_) {
        size_t data = pending_.find("data");
        if (data == std::string::npos || pending_.size() < data + 8) return samples_;
        pending_.erase(0, data + 8);
        inData_ = true;
    }
    size_t whole = pending_.size() / 2;
    for (size_t i = 0; i < whole; ++i) {
        int16_t value;
        std::memcpy(&value, pending_.data() + 2 * i, 2);
        samples_.push_back(value / 32768.0f);
    }
    pending_.erase(0, 2 * whole);
    return samples_;
}

std::vector<float> readCaptureSamples(const std::string& path) { return CaptureReader(path).samples(); }

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
        const std::vector<float>& all = samples();
        size_t onset = firstSoundAfter(all, from);
        if (onset + skip + length > all.size()) return false;
        heard = slice(all, onset + skip, onset + skip + length);
        return true;
    }, timeoutSeconds);
    return heard;
}
