// Where the device runs short: sources taken from stopped channels when
// OpenAL has no more, and buffers deleted only once no source holds them.
#include "tests/audio/audio_fixture.h"
#include "tests/support/signal_analysis.h"

#include <al.h>

#include <algorithm>

namespace {

// Takes every source OpenAL still has, so the device has to steal.
class SourceHog {
public:
    SourceHog()
    {
        for (int i = 0; i < 100000; ++i) {
            ALuint source = 0;
            alGetError();
            alGenSources(1, &source);
            if (alGetError() != AL_NO_ERROR) break;
            sources_.push_back(source);
        }
    }
    ~SourceHog() { alDeleteSources(static_cast<ALsizei>(sources_.size()), sources_.data()); }
    size_t count() const { return sources_.size(); }

private:
    std::vector<ALuint> sources_;
};

bool pending(unsigned buffer)
{
    const std::vector<unsigned>& list = pendingBuffers();
    return std::find(list.begin(), list.end(), buffer) != list.end();
}

} // namespace

TEST_F(AudioTest, WithoutFreeSourcesOnlyStoppedSoundChannelsAreRobbed)
{
    auto loop = loadSample("loop.wav", sawCycle(64));
    auto blip = loadSample("blip.wav", sawCycle(100));
    ASSERT_EQ(audio().startSample(loop, 1, looped), 0);   // playing
    ASSERT_EQ(audio().startSample(blip, 2, once), 0);     // will end by itself
    ASSERT_EQ(audio().startSample(loop, 3, looped), 0);   // paused by the caller
    audio().holdChannel(3);
    ASSERT_EQ(audio().startSample(loop, 4, looped), 0);   // halted
    audio().haltChannel(4);
    loopback.render(1000);
    unsigned endedSource = audio().sourceOf(2);
    unsigned haltedSource = audio().sourceOf(4);

    SourceHog hog;
    ASSERT_GT(hog.count(), 0u);

    // The first stopped channel in order gives up its source, settings and all.
    audio().setChannelGain(10, 0.3f);
    EXPECT_EQ(audio().sourceOf(10), endedSource);
    EXPECT_EQ(audio().sourceOf(2), 0u);
    EXPECT_FLOAT_EQ(loopback.sourceFloat(10, AL_GAIN), 0.3f);

    ASSERT_EQ(audio().startSample(blip, 11, looped), 0);
    EXPECT_EQ(audio().sourceOf(11), haltedSource);
    EXPECT_EQ(audio().sourceOf(4), 0u);

    // A channel that only had its gain set has never played: it is stopped too.
    ASSERT_EQ(audio().startSample(blip, 12, looped), 0);
    EXPECT_EQ(audio().sourceOf(12), endedSource);
    EXPECT_EQ(audio().sourceOf(10), 0u);

    // Playing, paused and music channels are never robbed.
    EXPECT_EQ(audio().startSample(blip, 13, looped), -1);
    EXPECT_EQ(audio().channelStatus(13), 0);
    audio().setChannelPitch(13, 2.0f);
    EXPECT_EQ(audio().sourceOf(13), 0u);
    EXPECT_EQ(audio().channelStatus(1), 1);
    EXPECT_EQ(audio().channelStatus(3), 2);
    EXPECT_NE(audio().sourceOf(gxtkAudio::musicChannel), 0u);
}

TEST_F(AudioTest, DiscardedBuffersAreDeletedOnceNoSourceHoldsThem)
{
    auto blip = loadSample("blip.wav", sawCycle(100));
    auto loop = loadSample("loop.wav", sawCycle(64));
    auto other = loadSample("other.wav", sawCycle(32));
    unsigned blipBuffer = blip->buffer;
    unsigned loopBuffer = loop->buffer;
    ASSERT_EQ(audio().startSample(blip, 1, once), 0);
    ASSERT_EQ(audio().startSample(loop, 2, looped), 0);
    blip->discardSample();
    loop->discardSample();
    EXPECT_EQ(blip->buffer, 0u);
    EXPECT_TRUE(pending(blipBuffer) && pending(loopBuffer));

    // The one-shot has ended: its buffer is detached and deleted by the next
    // start; the looping one still plays and has to wait. (No buffer is made
    // meanwhile: OpenAL would hand out a deleted name again.)
    loopback.render(1000);
    ASSERT_EQ(audio().startSample(other, 3, looped), 0);
    EXPECT_FALSE(loopback.bufferExists(blipBuffer));
    EXPECT_TRUE(loopback.bufferExists(loopBuffer));
    EXPECT_EQ(pendingBuffers(), std::vector<unsigned> {loopBuffer});

    // Halting does not let go of the buffer; starting something else does.
    audio().haltChannel(2);
    ASSERT_EQ(audio().startSample(other, 2, looped), 0);
    EXPECT_TRUE(pending(loopBuffer));
    ASSERT_EQ(audio().startSample(other, 2, looped), 0);
    EXPECT_FALSE(loopback.bufferExists(loopBuffer));
    EXPECT_TRUE(pendingBuffers().empty());
}

TEST_F(AudioTest, ASampleLivesWhileTheChannelThatLastPlayedItDoes)
{
    auto first = loadSample("first.wav", sawCycle(64));
    auto second = loadSample("second.wav", sawCycle(32));
    unsigned firstBuffer = first->buffer;
    ASSERT_EQ(audio().startSample(first, 7, looped), 0);
    audio().haltChannel(7);
    first.reset();
    EXPECT_TRUE(pendingBuffers().empty());
    EXPECT_TRUE(loopback.bufferExists(firstBuffer));

    ASSERT_EQ(audio().startSample(second, 7, looped), 0);
    EXPECT_TRUE(pending(firstBuffer));
    audio().setChannelGain(7, 1.0f);  // neither a load nor a start: nothing released
    EXPECT_TRUE(pending(firstBuffer));
    ASSERT_EQ(audio().startSample(second, 8, looped), 0);
    EXPECT_FALSE(loopback.bufferExists(firstBuffer));
}

TEST_F(AudioTest, LayoutsOpenAlCannotTakeGiveASilentSample)
{
    for (auto [channels, bits] : {std::pair {3, 16}, std::pair {1, 24}, std::pair {2, 32}}) {
        WavLayout layout;
        layout.channels = channels;
        layout.bits = bits;
        layout.data = std::string(static_cast<size_t>(channels * bits / 8 * 64), '\x40');
        auto sample = audio().createSample(widen(folder.write("odd.wav", wavBytes(layout))));
        ASSERT_TRUE(sample) << channels << " channels, " << bits << " bits";
        ALint size = -1;
        alGetBufferi(sample->buffer, AL_SIZE, &size);
        EXPECT_EQ(size, 0);
        ASSERT_EQ(audio().startSample(sample, 1, looped), 0);
        EXPECT_EQ(rms(loopback.render(960)), 0.0);
    }
}
