#include "app/channel_scopes.h"

#include "player/voice_trigger.h"

#include <algorithm>
#include <cmath>

namespace {

// Values looked at in each column, so that a wave far faster than the
// columns still shows its whole swing.
constexpr int pointsPerColumn = 8;
constexpr int tracePoints = scopeColumns * pointsPerColumn;

// The wave's value `back` seconds before its source's present place.
float valueBefore(const ChannelWave& wave, double back)
{
    if (!wave.frames || wave.gain == 0.0f) return 0;
    auto count = static_cast<double>(wave.frames->size());
    double place = std::fmod(wave.offset - back * wave.rate * wave.pitch, count);
    if (place < 0) place += count;
    auto index = std::min(static_cast<size_t>(place), wave.frames->size() - 1);
    return (*wave.frames)[index] * wave.gain;
}

} // namespace

bool operator==(const ScopeTrace& a, const ScopeTrace& b) { return a.low == b.low && a.high == b.high; }

ScopeTrace traceOf(const ChannelWave& primary, const ChannelWave& secondary)
{
    ScopeTrace trace;
    for (int column = 0; column < scopeColumns; ++column) {
        float low = 0, high = 0;
        for (int point = 0; point < pointsPerColumn; ++point) {
            int fromEnd = tracePoints - 1 - (column * pointsPerColumn + point);
            double back = scopeSeconds * fromEnd / (tracePoints - 1);
            float value = valueBefore(primary, back) + valueBefore(secondary, back);
            low = point ? std::min(low, value) : value;
            high = point ? std::max(high, value) : value;
        }
        trace.low[column] = low;
        trace.high[column] = high;
    }
    return trace;
}

ScopeTrace channelTrace(const gxtkAudio* device, int channel)
{
    if (!device) return ScopeTrace();
    int primary = channel + 1;
    return traceOf(device->channelWave(primary), device->channelWave(primary + secondaryChannelOffset));
}
