// A note read between two steps sounds at once, as its step would sound it,
// and the step then leaves everything as it would have without the head start.
#include "tests/app/tracker_fixture.h"

#include "audio/audio_device.h"
#include "framework/app.h"
#include "host/input_device.h"
#include "host/key_translation.h"

#include <AL/al.h>

namespace {

struct ChannelSound {
    int state;
    float gain;
    float pitch;
};

class PreviewAhead : public TrackerFixture {
protected:
    void SetUp() override
    {
        TrackerFixture::SetUp();
        if (HasFatalFailure()) return;
        step();  // the first step opens the sound device
        // Notes fade out in 8 steps, so each starts from silence.
        engine->song.instrumentParams[static_cast<size_t>(engine->cursor.instrument * slotsPerInstrument + slotEnvelope)] =
            1;
    }

    ChannelSound sound(int channel) const
    {
        ChannelSound seen {channelState(channel), channelGain(channel), 0};
        alGetSourcef(gxtkAudio::audio()->sourceOf(channel), AL_PITCH, &seen.pitch);
        return seen;
    }

    bool anyPlaying() const
    {
        for (int channel = 1; channel <= 8; ++channel)
            if (channelState(channel) == AL_PLAYING) return true;
        return false;
    }

    void fadeOut()
    {
        for (int i = 0; i < 10; ++i) step();
        ASSERT_NE(channelState(1), AL_PLAYING);
    }

    void sendMidiNote(unsigned char note)
    {
        const unsigned char bytes[] = {0x90, note, 0x64};
        inputDevice()->midiQueue.push(bytes, 3);
    }

    void expectSame(const ChannelSound& seen, const ChannelSound& expected, const char* when)
    {
        EXPECT_EQ(seen.state, expected.state) << when;
        EXPECT_FLOAT_EQ(seen.gain, expected.gain) << when;
        EXPECT_FLOAT_EQ(seen.pitch, expected.pitch) << when;
    }
};

} // namespace

TEST_F(PreviewAhead, ATypedNoteSoundsBeforeItsStepAsTheStepSoundsIt)
{
    pressAndStep(keySpace);  // Editing: the step writes the note too
    type(U"w");
    step();
    ChannelSound primary = sound(1), secondary = sound(5);
    ASSERT_EQ(primary.state, AL_PLAYING);
    fadeOut();

    type(U"w");
    game->dispatchInputArrived();
    expectSame(sound(1), primary, "ahead of the step");
    expectSame(sound(5), secondary, "ahead of the step");
    EXPECT_EQ(cell(notes1, 1), U'.') << "only the step writes";
    step();
    expectSame(sound(1), primary, "after the step");
    expectSame(sound(5), secondary, "after the step");
    EXPECT_EQ(cell(notes1, 1), U'w');
    EXPECT_EQ(engine->cursor.row, 3);
}

TEST_F(PreviewAhead, AMidiNoteSoundsBeforeItsStep)
{
    sendMidiNote(60);
    step();
    ChannelSound heard = sound(1);
    ASSERT_EQ(heard.state, AL_PLAYING);
    fadeOut();

    sendMidiNote(60);
    game->dispatchInputArrived();
    expectSame(sound(1), heard, "ahead of the step");
    step();
    expectSame(sound(1), heard, "after the step");
}

// A key that moves the cursor, switches the transport or runs a shortcut
// might change what the step does with the note: the note waits for it.
TEST_F(PreviewAhead, ANoteWithAnyOtherPressWaitsForItsStep)
{
    for (int key : {keyRight, keySpace, keyF1}) {
        press(key);
        type(U"w");
        game->dispatchInputArrived();
        EXPECT_FALSE(anyPlaying()) << key;
        step();
        if (engine->transport.state() == statePlaying) pressAndStep(keyF1);
        engine->cursor.column = 1;
        fadeOut();
    }
    type(U"we");  // two notes in one step
    game->dispatchInputArrived();
    EXPECT_FALSE(anyPlaying());
}

// Should the step not take the note started ahead (here the cursor moved
// to channel 2 in between), its sound goes and the step's own plays.
TEST_F(PreviewAhead, ANoteItsStepDoesNotTakeIsSilenced)
{
    type(U"w");
    game->dispatchInputArrived();
    ASSERT_EQ(channelState(1), AL_PLAYING);
    engine->cursor.column = 3;
    step();
    EXPECT_NE(channelState(1), AL_PLAYING);
    EXPECT_NE(channelState(5), AL_PLAYING);
    EXPECT_EQ(channelState(2), AL_PLAYING);
    fadeOut();

    type(U"w");
    game->dispatchInputArrived();
    ASSERT_EQ(channelState(2), AL_PLAYING);
    engine->cursor.column = 2;  // a volume column: the step enters no note
    step();
    EXPECT_NE(channelState(2), AL_PLAYING);
    EXPECT_NE(channelState(6), AL_PLAYING);
}
