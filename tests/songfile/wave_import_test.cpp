// Single-cycle files taken in as own waves: the resampling keeps what 64
// frames can hold and drops what would fold back, and the reader refuses
// what is no cycle, whatever layout the file has.
#include "song/wave_file_import.h"
#include "song/wave_shapes.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

constexpr double twoPi = 6.283185307179586;

std::vector<double> harmonicCycle(int frames, const std::vector<std::pair<int, double>>& harmonics)
{
    std::vector<double> cycle(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n)
        for (auto [k, amplitude] : harmonics) cycle[n] += amplitude * std::sin(twoPi * k * n / frames);
    return cycle;
}

int peakOf(const OwnWave& wave)
{
    int peak = 0;
    for (int16_t value : wave) peak = std::max(peak, std::abs(static_cast<int>(value)));
    return peak;
}

long sumOf(const OwnWave& wave) { return std::accumulate(wave.begin(), wave.end(), 0L); }

// The little-endian bytes of 32-bit floats, for a float WAV.
std::string floatBytes(const std::vector<float>& values)
{
    std::string bytes(values.size() * 4, '\0');
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

std::string sawWav(int frames, int channels = 1)
{
    std::vector<int16_t> saw = sawCycle(frames);
    std::vector<int16_t> interleaved;
    for (int16_t value : saw) interleaved.insert(interleaved.end(), static_cast<size_t>(channels), value);
    WavLayout layout;
    layout.channels = channels;
    layout.data = pcm16(interleaved);
    return wavBytes(layout);
}

} // namespace

TEST(WaveResampling, KeepsTheHarmonicsSixtyFourFramesHoldAndDropsTheRest)
{
    // Harmonics 1 and 5 of a 600-frame cycle come out as they went in...
    OwnWave kept = ownWaveOfCycle(harmonicCycle(600, {{1, 1.0}, {5, 0.5}}));
    OwnWave expected = ownWaveOfCycle(harmonicCycle(64, {{1, 1.0}, {5, 0.5}}));
    for (int i = 0; i < ownWaveFrames; ++i) EXPECT_NEAR(kept[i], expected[i], 2) << "frame " << i;
    // ...while harmonic 40 would alias onto harmonic 24 in 64 frames: it is left out.
    OwnWave withHigh = ownWaveOfCycle(harmonicCycle(600, {{1, 1.0}, {5, 0.5}, {40, 0.8}}));
    for (int i = 0; i < ownWaveFrames; ++i) EXPECT_NEAR(withHigh[i], expected[i], 2) << "frame " << i;
    EXPECT_EQ(peakOf(kept), static_cast<int>(ownWavePeak));
}

TEST(WaveResampling, RemovesDcAndLeavesSilenceSilent)
{
    std::vector<double> offset = harmonicCycle(600, {{1, 0.2}});
    for (double& value : offset) value += 0.7;
    OwnWave centred = ownWaveOfCycle(offset);
    EXPECT_NEAR(sumOf(centred), 0, ownWaveFrames);
    EXPECT_EQ(peakOf(centred), static_cast<int>(ownWavePeak));
    EXPECT_EQ(ownWaveOfCycle(std::vector<double>(600, 0.5)), OwnWave {});
    // A 16-frame cycle holds harmonics up to 7 only; still a clean sine.
    OwnWave shortCycle = ownWaveOfCycle(harmonicCycle(16, {{1, 1.0}}));
    EXPECT_NEAR(shortCycle[16], ownWavePeak, 2);
}

TEST(WaveShapes, SitAtTheStockPeakWithoutDc)
{
    for (const WaveShapeEntry& entry : waveShapes) {
        OwnWave wave = shapedWave(entry.shape);
        EXPECT_EQ(peakOf(wave), static_cast<int>(ownWavePeak)) << std::string(entry.name.begin(), entry.name.end());
        EXPECT_NEAR(sumOf(wave), 0, ownWaveFrames) << std::string(entry.name.begin(), entry.name.end());
    }
    EXPECT_EQ(shapedWave(WaveShape::noise), shapedWave(WaveShape::noise)) << "the same noise each time";
}

// 16-bit mono, 16-bit stereo, 8-bit and float of one saw give one wave.
TEST(WaveFileImport, ReadsEveryLayoutAlike)
{
    WaveImport mono = importWaveBytes(sawWav(600));
    ASSERT_TRUE(mono.wave) << mono.problem;
    WaveImport stereo = importWaveBytes(sawWav(600, 2));
    ASSERT_TRUE(stereo.wave);
    EXPECT_EQ(*stereo.wave, *mono.wave);

    std::vector<int16_t> saw = sawCycle(600);
    WavLayout eightBit;
    eightBit.bits = 8;
    for (int16_t value : saw) eightBit.data += static_cast<char>((value >> 8) + 128);
    WavLayout floats;
    floats.formatTag = 3;
    floats.bits = 32;
    std::vector<float> values;
    for (int16_t value : saw) values.push_back(static_cast<float>(value) / 32768.0f);
    floats.data = floatBytes(values);
    for (const WavLayout& layout : {eightBit, floats}) {
        WaveImport other = importWaveBytes(wavBytes(layout));
        ASSERT_TRUE(other.wave) << layout.bits << " bits: " << other.problem;
        for (int i = 0; i < ownWaveFrames; ++i) EXPECT_NEAR((*other.wave)[i], (*mono.wave)[i], 40) << layout.bits;
    }
}

TEST(WaveFileImport, RefusesWhatIsNoCycle)
{
    EXPECT_STREQ(importWaveBytes(sawWav(15)).problem, waveBadLength);
    EXPECT_TRUE(importWaveBytes(sawWav(16)).wave);
    EXPECT_TRUE(importWaveBytes(sawWav(4096)).wave);
    EXPECT_STREQ(importWaveBytes(sawWav(4097)).problem, waveBadLength);
    EXPECT_STREQ(importWaveBytes("kovo-instrument 1\nwav = 3\n").problem, waveNotWav);
    EXPECT_STREQ(importWaveBytes("").problem, waveNotWav);
    EXPECT_STREQ(importWaveBytes(std::string(waveFileSizeLimit + 1, 'R')).problem, waveTooLarge);
    // A header that promises more frames than the file holds reads as what it holds.
    WavLayout cut;
    cut.data = pcm16(sawCycle(600)).substr(0, 20);
    cut.declaredDataSize = 1200;
    EXPECT_STREQ(importWaveBytes(wavBytes(cut)).problem, waveBadLength);
    EXPECT_STREQ(importWaveFile("/nonexistent/wave.wav").problem, waveNotFound);
    EXPECT_STREQ(importWaveFile("/").problem, waveNotReadable);
}
