#include "tests/resources/resource_files.h"
#include "tests/support/child_process.h"
#include "tests/support/signal_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kRate = 16744;
constexpr double kMiddleC = kRate / 64;  // 261.625 Hz
constexpr int kQuarterScale = 8192;

const char* const kRamps[] = {"wav/ramp_64.wav", "wav/ramp_b_64.wav", "wav/ramp_c_64.wav"};
const char* const kTones[] = {"wav/ramp_64.wav", "wav/ramp_b_64.wav", "wav/ramp_c_64.wav",
                              "wav/saw_64.wav", "wav/fx2b.wav", "wav/tri_64.wav"};

std::vector<int16_t> waveform(const char* name) { return loadWaveform(dataFile(name)); }

// The cycle played in a loop for the given number of frames, at full scale 1.
std::vector<float> looped(const std::vector<int16_t>& cycle, size_t frames)
{
    std::vector<float> signal(frames);
    for (size_t i = 0; i < frames; ++i) signal[i] = cycle[i % cycle.size()] / 32768.0f;
    return signal;
}

// Steps between neighbouring frames, the loop's seam included, larger than
// a quarter of full scale.
int jumps(const std::vector<int16_t>& cycle)
{
    int count = 0;
    for (size_t i = 0; i < cycle.size(); ++i)
        count += std::abs(cycle[(i + 1) % cycle.size()] - cycle[i]) > kQuarterScale;
    return count;
}

// The frames of ramp + saw (the saw read `drift` frames ahead) at the sum's
// upper level, or -1 when the sum is not a two-level pulse.
int pulseWidth(const std::vector<int16_t>& ramp, const std::vector<int16_t>& saw, size_t drift)
{
    std::vector<int> sum;
    for (size_t i = 0; i < ramp.size(); ++i) sum.push_back(ramp[i] + saw[(i + drift) % saw.size()]);
    const int high = *std::max_element(sum.begin(), sum.end());
    const int low = *std::min_element(sum.begin(), sum.end());
    if (high - low < kQuarterScale) return -1;
    int width = 0;
    for (int value : sum) {
        if (std::abs(value - high) > 64 && std::abs(value - low) > 64) return -1;
        width += std::abs(value - high) <= 64;
    }
    return width;
}

} // namespace

TEST(Waveforms, AreSixteenBitMonoAtTheC4RateWithAPlainHeader)
{
    for (const std::string& name : kResourceFiles) {
        if (name.compare(0, 4, "wav/") != 0) continue;
        std::vector<int16_t> samples = waveform(name.c_str());
        ASSERT_FALSE(samples.empty()) << name;
        EXPECT_EQ(readFileBytes(dataFile(name)).size(), 44 + 2 * samples.size()) << name;
        if (name == "wav/hnoise.wav")
            EXPECT_GE(samples.size(), 4096u);
        else
            EXPECT_EQ(samples.size(), 64u) << name;
    }
}

TEST(Waveforms, ToneCyclesSoundC4WhenLooped)
{
    for (const char* name : kTones) {
        std::vector<float> signal = looped(waveform(name), static_cast<size_t>(kRate / 2));
        ASSERT_FALSE(signal.empty()) << name;
        Peak peak = strongestFrequency(signal, kRate, 60, 400);
        EXPECT_NEAR(peak.frequency, 261.6, 0.1) << name;
        const double fundamental = toneAmplitude(signal, kRate, kMiddleC);
        EXPECT_GT(fundamental, 0.05) << name;
        for (int harmonic = 2; harmonic <= 12; ++harmonic)
            EXPECT_GT(fundamental, 0.25 * toneAmplitude(signal, kRate, harmonic * kMiddleC))
                << name << " harmonic " << harmonic;
    }
}

TEST(Waveforms, PeakNearAQuarterOfFullScaleWithoutOffset)
{
    for (const std::string& name : kResourceFiles) {
        if (name.compare(0, 4, "wav/") != 0 || name == "wav/zero_64.wav") continue;
        std::vector<int16_t> samples = waveform(name.c_str());
        ASSERT_FALSE(samples.empty()) << name;
        int peak = 0;
        double sum = 0;
        for (int16_t value : samples) {
            peak = std::max(peak, std::abs(static_cast<int>(value)));
            sum += value;
        }
        EXPECT_LE(peak, kQuarterScale) << name;
        EXPECT_GE(peak, 6000) << name;
        EXPECT_LE(std::fabs(sum / samples.size()), 0.01 * peak) << name;
    }
}

TEST(Waveforms, EachFileIsOneWholeCycleWithNoJumpButTheSawEdge)
{
    for (const char* name : kRamps) EXPECT_EQ(jumps(waveform(name)), 1) << name;
    EXPECT_EQ(jumps(waveform("wav/saw_64.wav")), 1);
    EXPECT_EQ(jumps(waveform("wav/tri_64.wav")), 0);
    EXPECT_EQ(jumps(waveform("wav/fx2b.wav")), 0);
}

TEST(Waveforms, EachRampWithTheSawIsAPulseWhoseWidthMovesAsTheyDrift)
{
    std::vector<int16_t> saw = waveform("wav/saw_64.wav");
    ASSERT_EQ(saw.size(), 64u);
    std::vector<int> widths;
    for (const char* name : kRamps) {
        std::vector<int16_t> ramp = waveform(name);
        ASSERT_EQ(ramp.size(), 64u) << name;
        widths.push_back(pulseWidth(ramp, saw, 0));
        EXPECT_GT(widths.back(), 0) << name;
        const int drifted = pulseWidth(ramp, saw, 4);
        EXPECT_GT(drifted, 0) << name;
        EXPECT_NE(drifted, widths.back()) << name;
    }
    EXPECT_EQ(widths[1], 32) << "ramp_b and the saw make a square";
    EXPECT_NE(widths[0], widths[2]);
    EXPECT_NE(widths[0], widths[1]);
    EXPECT_NE(widths[1], widths[2]);
}

TEST(Waveforms, ZeroIsSilent)
{
    std::vector<int16_t> zero = waveform("wav/zero_64.wav");
    EXPECT_EQ(zero, std::vector<int16_t>(64, 0));
}

TEST(Waveforms, NoiseIsLoudAndNeverRepeatsWithinItsLoop)
{
    std::vector<int16_t> noise = waveform("wav/hnoise.wav");
    ASSERT_GE(noise.size(), 4096u);
    std::vector<float> signal = looped(noise, noise.size());
    EXPECT_GT(rms(signal), 2000 / 32768.0);
    // A tone (or a short cycle repeated) correlates with itself one period
    // later; noise does not at any lag up to 4096 frames (4 Hz).
    double energy = 0;
    for (float value : signal) energy += static_cast<double>(value) * value;
    double worst = 0;
    for (size_t lag = 1; lag <= 4096; ++lag) {
        double sum = 0;
        for (size_t i = 0; i < signal.size(); ++i)
            sum += static_cast<double>(signal[i]) * signal[(i + lag) % signal.size()];
        worst = std::max(worst, std::fabs(sum / energy));
    }
    EXPECT_LT(worst, 0.1);
}
