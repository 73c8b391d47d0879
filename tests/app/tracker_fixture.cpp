#include "tests/app/tracker_fixture.h"

#include "app/files/recovery_file.h"

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

namespace {
// Each test has a data folder of its own (tests/support/test_user_files.h),
// so none starts with another's unsaved song; a test that sets the fixture up
// again starts without the ones its first tracker kept.
void removeRecoveryFiles()
{
    for (int n = 1; n <= recoveryFileCount; ++n) std::remove(recoveryFileOf(n).c_str());
}
} // namespace

std::string recoveryFileOf(int number)
{
    std::string data = userFiles().dataFolder() + "/";
    return number == 1 ? data + "unsaved_song.dat" : data + "unsaved_song-" + std::to_string(number) + ".dat";
}

void TrackerFixture::SetUp()
{
    removeRecoveryFiles();
    startTracker();
}

// As a new start of the program: the engine (and the recovery file it holds)
// goes, and a new one starts with the song argument, if any.
void TrackerFixture::restartTracker(const std::string& songArgument)
{
    engine.reset();
    game.reset();
    startTracker(songArgument);
}

void TrackerFixture::startTracker(const std::string& songArgument)
{
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
    engine->startWith(widen(songArgument), false);
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
