#include "framework/app.h"

#include "audio/audio_device.h"
#include "graphics/font.h"
#include "graphics/graphics_context.h"
#include "graphics/renderer.h"
#include "host/console.h"
#include "host/input_device.h"
#include "host/key_translation.h"
#include "midi/midi_input.h"
#include "host/startup_trace.h"
#include "host/termination_signals.h"

#include <malloc.h>

int cachedDeviceWidth = 0;
int cachedDeviceHeight = 0;

namespace {
c_App* currentApp = nullptr;
std::unique_ptr<c_GameDelegate> currentDelegate;
// 5 s: a musician between two notes keeps the sound device awake.
constexpr int restDelaySteps = 250;
} // namespace

c_App::c_App()
{
    if (currentApp) raiseError(U"App has already been created");
    currentApp = this;
    currentDelegate = std::make_unique<c_GameDelegate>(*this);
    if (BBGame* game = BBGame::game()) game->setDelegate(currentDelegate.get());
}

c_App::~c_App()
{
    if (currentApp != this) return;
    if (BBGame* game = BBGame::game(); game && game->delegate() == currentDelegate.get()) game->setDelegate(nullptr);
    currentDelegate.reset();
    currentApp = nullptr;
}

c_App* c_App::app() { return currentApp; }

c_GameDelegate* gameDelegate() { return currentDelegate.get(); }

c_InputDevice* inputDevice() { return currentDelegate ? currentDelegate->input.get() : nullptr; }

void setUpdateRate(int hertz) { BBGame::game()->setUpdateRate(hertz); }

c_GameDelegate::c_GameDelegate(c_App& app) : app_(app) {}
c_GameDelegate::~c_GameDelegate() = default;

void c_GameDelegate::refreshDeviceSize()
{
    cachedDeviceWidth = BBGame::game()->deviceWidth();
    cachedDeviceHeight = BBGame::game()->deviceHeight();
}

void c_GameDelegate::onStart()
{
    renderer = std::make_unique<gxtkGraphics>();
    hostRenderer = renderer.get();
    selectFont(nullptr);
    input = std::make_unique<c_InputDevice>(BBGame::game());
    refreshDeviceSize();
    collectDisplaySizes();
    installTerminationHandlers();
    traceStartup("devices");
    app_.create();
    traceStartup("create hook");
}

// The first picture needs none of this, so it comes after it; the first
// update step that reads input finds it ready.
void c_GameDelegate::startSound()
{
    audio = std::make_unique<gxtkAudio>();
    audio->setRestDelay(restDelaySteps);
    traceStartup("audio device");
    if (midiInputRequested()) midi = std::make_unique<MidiInput>(input->midiQueue);
    app_.createSounds();
    // Decoding the images and the waveforms and compiling the first picture's
    // drawing code freed memory that would otherwise stay with the process.
    malloc_trim(0);
    startupTraceDone();
}

void c_GameDelegate::collectDisplaySizes()
{
    displaySizes.clear();
    for (const BBDisplayMode& mode : BBGame::game()->displayModes()) {
        bool known = false;
        for (const BBDisplayMode& size : displaySizes) known = known || (size.width == mode.width && size.height == mode.height);
        if (!known) displaySizes.push_back(mode);
    }
    std::optional<BBDisplayMode> desktop = BBGame::game()->desktopMode();
    desktopSize = desktop ? *desktop : BBDisplayMode {cachedDeviceWidth, cachedDeviceHeight};
}

void c_GameDelegate::onSuspend()
{
    if (audio) audio->pauseAllChannels();
}

void c_GameDelegate::onResume()
{
    if (audio) audio->resumeAllChannels();
}

void c_GameDelegate::onUpdate()
{
    if (terminationRequested()) {
        app_.close();
        endByTerminationSignal();
    }
    if (!audio) startSound();
    refreshDeviceSize();
    input->beginUpdate();
    app_.update();
    input->endUpdate();
    audio->countSilentStep();
}

void c_GameDelegate::onRender()
{
    refreshDeviceSize();
    refreshDisplaySize(cachedDeviceWidth, cachedDeviceHeight);
    int mode = renderer->beginFrame();
    if (mode) {
        resetDrawState();
        if (mode != 2) app_.render();
        currentRenderer = nullptr;
    } else {
        app_.render();
    }
    renderer->endFrame();
}

void c_GameDelegate::onKey(int event, int data, int modifiers)
{
    switch (event) {
    case eventKeyDown:
        input->pressKey(data, modifiers);
        // The close button and the back request end the program at once,
        // once the application has kept its unsaved work.
        if (data == keyBackRequest || data == keyCloseRequest) {
            app_.close();
            raiseError(String());
        }
        break;
    case eventKeyUp: input->releaseKey(data); break;
    case eventChar: input->pushChar(data); break;
    default: break;
    }
}

void c_GameDelegate::onMouse(int event, int data, float x, float y, float z)
{
    switch (event) {
    case eventMouseDown:
        input->pressKey(data + 1);
        input->movePointer(x, y, z);
        break;
    case eventMouseUp: input->releaseKey(data + 1); break;
    case eventMouseMove: input->movePointer(x, y, z); break;
    default: break;
    }
}

void c_GameDelegate::onTouch(int event, int data, float x, float y)
{
    switch (event) {
    case eventTouchDown:
        input->pressKey(keyTouchBase + data);
        input->moveTouch(data, x, y);
        break;
    case eventTouchUp: input->releaseKey(keyTouchBase + data); break;
    case eventTouchMove: input->moveTouch(data, x, y); break;
    default: break;
    }
}

void c_GameDelegate::onMotion(int event, int, float x, float y, float z)
{
    if (event == eventMotionAccel) input->setAccel(x, y, z);
}

void c_GameDelegate::onDiscardGraphics() { renderer->discardResources(); }

// MIDI notes that came in join the next step's notes now, where the
// application can see them; the step takes any later ones as before.
void c_GameDelegate::onInputArrived()
{
    if (!audio || !input) return;
    input->midiQueue.takeArrived();
    app_.inputArrived();
}
