#include "app/playing/channel_scopes.h"

#include "player/voice_trigger.h"

#include <algorithm>
#include <cmath>

namespace {

// Values looked at in each column, so that a wave far faster than the
// columns still shows its whole swing.
constexpr int pointsPerColumn = 8;
constexpr int tracePoints = scopeColumns * pointsPerColumn;

// Adds the wave's values at the trace's points, evenly spaced and the last
// at its source's present place. The place steps on from point to point: a
// division per point (fmod) for every channel and frame cost more than
// the drawing.
void addWave(const ChannelWave& wave, std::array<float, tracePoints>& values)
{
    if (!wave.frames || wave.frames->empty() || wave.gain == 0.0f) return;
    const std::vector<float>& frames = *wave.frames;
    auto count = static_cast<double>(frames.size());
    auto wrapped = [count](double place) {
        place = std::fmod(place, count);
        return place < 0 ? place + count : place;
    };
    double step = scopeSeconds / (tracePoints - 1) * wave.rate * wave.pitch;
    double place = wrapped(wave.offset - step * (tracePoints - 1));
    step = wrapped(step);
    for (float& value : values) {
        value += frames[std::min(static_cast<size_t>(place), frames.size() - 1)] * wave.gain;
        place += step;
        if (place >= count) place -= count;
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
