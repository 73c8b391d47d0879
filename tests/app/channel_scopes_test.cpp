// A scope's trace from what its two audio channels play: silence is flat,
// the trace ends where the source stands, and the oscillators add.
#include "app/playing/channel_scopes.h"

#include <gtest/gtest.h>

namespace {

// A square wave of 8 frames: four at +1, four at -1.
const std::vector<float> square {1, 1, 1, 1, -1, -1, -1, -1};

ChannelWave playing(const std::vector<float>& frames, double offset, float gain, float pitch = 1)
{
    ChannelWave wave;
    wave.frames = &frames;
    wave.rate = 48000;
    wave.offset = offset;
    wave.pitch = pitch;
    wave.gain = gain;
    return wave;
}

} // namespace

TEST(ChannelScopes, SilenceIsFlatAndASoundSwingsToItsVolume)
{
    EXPECT_EQ(traceOf(ChannelWave(), ChannelWave()), ScopeTrace());
    EXPECT_EQ(traceOf(playing(square, 3, 0), ChannelWave()), ScopeTrace());

    // 8 frames at 48 kHz is a 6 kHz square: every column sees both halves.
    ScopeTrace trace = traceOf(playing(square, 0, 0.5f), ChannelWave());
    for (int column = 0; column < scopeColumns; ++column) {
        EXPECT_FLOAT_EQ(trace.low[column], -0.5f) << column;
        EXPECT_FLOAT_EQ(trace.high[column], 0.5f) << column;
    }
}

TEST(ChannelScopes, TraceEndsWhereTheSourceStandsAndOscillatorsAdd)
{
    // Slowed down 960 times, 20 ms cover one frame before the offset: the
    // newest column is the offset's frame, and going back wraps to the end
    // of the loop.
    const float slow = 1.0f / 960;
    ScopeTrace trace = traceOf(playing(square, 0.5, 1, slow), ChannelWave());
    EXPECT_FLOAT_EQ(trace.high[scopeColumns - 1], 1);
    EXPECT_FLOAT_EQ(trace.low[0], -1);  // frame 7, before frame 0
    ScopeTrace both = traceOf(playing(square, 0.5, 1, slow), playing(square, 4.5, 0.25f, slow));
    EXPECT_FLOAT_EQ(both.high[scopeColumns - 1], 0.75f);
    EXPECT_FLOAT_EQ(both.low[0], -0.75f);  // frames 7 and 3: -1 + 0.25
}
