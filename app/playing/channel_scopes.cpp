#include "app/playing/channel_scopes.h"

#include "player/voice_trigger.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Values looked at in each column, so that a wave far faster than the
// columns still shows its whole swing.
constexpr int pointsPerColumn = 8;
constexpr int tracePoints = scopeColumns * pointsPerColumn;

// Adds the wave's values at the trace's points, evenly spaced and the last
// at its source's present place. The place steps on from point to point in
// 1/2^32 frames: a whole-number add and shift per point, where a division
// (fmod) or a rounding of a double per point, for every channel and frame,
// cost more than the drawing.
void addWave(const ChannelWave& wave, std::array<float, tracePoints>& values)
{
    if (!wave.frames || wave.frames->empty() || wave.gain == 0.0f) return;
    const std::vector<float>& frames = *wave.frames;
    auto count = static_cast<double>(frames.size());
    auto wrapped = [count](double place) {
        place = std::fmod(place, count);
        return place < 0 ? place + count : place;
    };
    constexpr double unit = 4294967296.0;
    double step = scopeSeconds / (tracePoints - 1) * wave.rate * wave.pitch;
    uint64_t end = uint64_t(frames.size()) << 32;
    // Both are below one lap; rounded up, they may reach it.
    auto place = static_cast<uint64_t>(wrapped(wave.offset - step * (tracePoints - 1)) * unit);
    auto by = static_cast<uint64_t>(wrapped(step) * unit);
    if (place >= end) place -= end;
    if (by >= end) by -= end;
    const float* data = frames.data();
    for (float& value : values) {
        value += data[place >> 32] * wave.gain;
        place += by;
        if (place >= end) place -= end;
    }
}

} // namespace

bool operator==(const ScopeTrace& a, const ScopeTrace& b) { return a.low == b.low && a.high == b.high; }

ScopeTrace traceOf(const ChannelWave& primary, const ChannelWave& secondary)
{
    std::array<float, tracePoints> values {};
    addWave(primary, values);
    addWave(secondary, values);
    ScopeTrace trace;
    for (int column = 0; column < scopeColumns; ++column) {
        auto first = values.begin() + column * pointsPerColumn;
        auto [low, high] = std::minmax_element(first, first + pointsPerColumn);
        trace.low[column] = *low;
        trace.high[column] = *high;
    }
    return trace;
}

ScopeTrace channelTrace(const gxtkAudio* device, int channel)
{
    if (!device) return ScopeTrace();
    int primary = channel + 1;
    return traceOf(device->channelWave(primary), device->channelWave(primary + secondaryChannelOffset));
}
