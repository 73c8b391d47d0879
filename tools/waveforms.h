// How the samples of each waveform the player loops are made: one shape for
// each file of the waveform table, in its order.
#pragma once

#include "song/waveform_table.h"

#include <array>
#include <cstdint>
#include <vector>

// A 64-frame cycle at this rate sounds C4 (16744 / 64 = 261.625 Hz) when
// played at rate 1.0.
constexpr int kWaveRate = 16744;
constexpr int kCycleFrames = 64;
// A quarter of full scale: eight oscillators at full gain stay clear of clipping.
constexpr double kWavePeak = 8192;

enum class Shape {
    RisingRamp,   // -1 up to +1, then a jump back
    FallingSaw,   // +1 down to -1: the ramps' opposite slope
    Triangle,
    HarmonicMix,  // the sum of the partials below, scaled to the peak
    Noise,        // uniform values from a fixed-seed generator
    Silence,
};

struct Waveform {
    Shape shape;
    int frames;
    double phase;  // where in its cycle the file starts, in cycles
};

// Each ramp starts at a different phase from the saw, so a ramp plus the saw
// started together is a pulse: ramp_b a square, ramp a 25 % pulse, ramp_c a
// 12.5 % pulse. As the two drift apart, the pulse width moves.
constexpr std::array<Waveform, waveformCount> kWaveforms = {{
    {Shape::RisingRamp, kCycleFrames, 0.25},  // ramp_64
    {Shape::RisingRamp, kCycleFrames, 0.5},  // ramp_b_64
    {Shape::RisingRamp, kCycleFrames, 0.125},  // ramp_c_64
    {Shape::FallingSaw, kCycleFrames, 0.0},  // saw_64
    {Shape::HarmonicMix, kCycleFrames, 0.0},  // fx2b
    {Shape::Triangle, kCycleFrames, 0.25},  // tri_64: starts at zero, rising
    // About a second of noise: long enough that the loop is not heard as a tone.
    {Shape::Noise, 16384, 0.0},  // hnoise
    {Shape::Silence, kCycleFrames, 0.0},  // zero_64
}};

// A row left out would be an empty file: every waveform has its shape.
constexpr bool everyWaveformShaped()
{
    for (const Waveform& waveform : kWaveforms)
        if (waveform.frames == 0) return false;
    return true;
}
static_assert(everyWaveformShaped(), "one row of kWaveforms for each file of waveformFiles");

// The file's samples: exactly one cycle (one loop for noise), so looping is seamless.
std::vector<int16_t> waveformSamples(const Waveform& waveform);
