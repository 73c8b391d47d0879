// What the first picture does not need comes after it: the sound device and
// the waveforms open once the first frame is drawn, and a key typed at once is
// still heard.
#include "tests/app/tracker_fixture.h"

#include "audio/audio_device.h"
#include "graphics/renderer.h"
#include "framework/app.h"
#include "host/key_translation.h"

#include <AL/al.h>

namespace {
class Startup : public TrackerFixture {
protected:
    bool drawsFrames() const override { return true; }
};
} // namespace

TEST_F(Startup, TheFirstFrameIsDrawnBeforeTheSoundDeviceOpensAndTheFirstKeyIsHeard)
{
    EXPECT_EQ(gxtkAudio::audio(), nullptr);
    EXPECT_EQ(engine->preview.sounds()[0], nullptr);
    game->stepRender();
    EXPECT_TRUE(game->framePresented());  // the meters, written as pixels
    EXPECT_EQ(gxtkAudio::audio(), nullptr);

    // Pressed before the first update step: the step opens the device first.
    press(keySpace);
    step();
    ASSERT_NE(gxtkAudio::audio(), nullptr);
    for (const auto& sound : engine->preview.sounds()) EXPECT_NE(sound, nullptr);
    type(U"q");
    step();
    EXPECT_EQ(channelState(1), AL_PLAYING);
}
