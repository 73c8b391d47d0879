#include "tests/app/tracker_fixture.h"

#include "audio/audio_device.h"
#include "host/glfw_game.h"
#include "host/headless_game.h"
#include "host/key_translation.h"
#include "tests/support/child_process.h"
#include "tests/support/test_user_files.h"
#include "tests/support/xvfb.h"

#include <AL/al.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

// Each test has a data folder of its own (tests/support/test_user_files.h),
// so none starts with another's unsaved song; a test that sets the fixture up
// again starts without the one its first tracker kept.
void TrackerFixture::SetUp()
{
    std::remove((userFiles().dataFolder() + "/unsaved_song.dat").c_str());
    setenv("ALSOFT_DRIVERS", "null", 1);
    if (drawsFrames()) {
        ensureXvfb();
        ASSERT_TRUE(glfwInit());
        game = std::make_unique<BBQuorvaneGame>();
        game->createWindow(640, 475, windowDecorated);
    } else {
        game = std::make_unique<BBHeadlessGame>();
    }
    engine = std::make_unique<c_SoundEngine>();
    game->startRun();
}

void TrackerFixture::TearDown()
{
    engine.reset();
    game.reset();
}

void TrackerFixture::step() { game->stepUpdate(); }

void TrackerFixture::press(int key)
{
    hold(key);
    release(key);
}

namespace {
int modifierOf(int key) { return key == keyControl ? modifierControl : key == keyShift ? modifierShift : 0; }
} // namespace

void TrackerFixture::hold(int key)
{
    game->dispatchKey(eventKeyDown, key, heldModifiers);
    heldModifiers |= modifierOf(key);
    if (int character = keyCharacter(key)) game->dispatchKey(eventChar, character);
}

void TrackerFixture::release(int key)
{
    heldModifiers &= ~modifierOf(key);
    game->dispatchKey(eventKeyUp, key);
}

void TrackerFixture::type(const String& text)
{
    for (char32_t c : text) game->dispatchKey(eventChar, static_cast<int>(c));
}

void TrackerFixture::click(float x, float y)
{
    game->dispatchMouse(eventMouseMove, -1, x, y, 0);
    game->dispatchMouse(eventMouseDown, 0, x, y, 0);
    game->dispatchMouse(eventMouseUp, 0, x, y, 0);
}

void TrackerFixture::pressAndStep(int key)
{
    press(key);
    step();
}

void TrackerFixture::typeStepwise(const String& text)
{
    for (char32_t c : text) {
        type(String(1, c));
        step();
    }
}

int TrackerFixture::channelState(int channel) const
{
    ALint state = 0;
    alGetSourcei(gxtkAudio::audio()->sourceOf(channel), AL_SOURCE_STATE, &state);
    return state;
}

float TrackerFixture::channelGain(int channel) const
{
    ALfloat gain = 0;
    alGetSourcef(gxtkAudio::audio()->sourceOf(channel), AL_GAIN, &gain);
    return gain;
}
