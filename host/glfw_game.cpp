#include "host/glfw_game.h"

#include "host/console.h"
#include "host/context_announcement.h"
#include "host/joystick_layouts.h"
#include "host/key_translation.h"
#include "host/rasterizer_threads.h"
#include "host/loop_clock.h"
#include "host/input_wake.h"
#include "host/startup_trace.h"

#include <GLFW/glfw3.h>

#include <atomic>
#include <cmath>
#include <cwctype>

namespace {

BBGlfwGame* glfwGame() { return static_cast<BBGlfwGame*>(BBGame::game()); }

// Keys or MIDI notes came in since the last poll: set by the key callbacks
// and by the MIDI library's thread.
std::atomic<bool> inputArrived {false};

// On the thread of input that comes on its own (MIDI): wakes the loop from
// its wait for the step.
void wakeFromInputThread()
{
    inputArrived.store(true);
    glfwPostEmptyEvent();
}

// GLFW's timer, and a wait for the next step that a key or a MIDI note cuts
// short to be announced, so that the application can get ready for it (start
// the note's sound); the step itself still comes at its time and reads it.
class GlfwLoopClock : public LoopClock {
public:
    double now() override { return glfwGetTime(); }
    void sleep(double seconds) override
    {
        const double until = glfwGetTime() + seconds;
        for (double left = seconds; left > 0; left = until - glfwGetTime()) {
            glfwWaitEventsTimeout(left);
            if (inputArrived.exchange(false)) glfwGame()->dispatchInputArrived();
        }
    }
};

// ---- Input callbacks: GLFW's codes become application events. ----

// A window position in picture units: every window pixel of a magnified
// picture acts as the picture pixel it shows.
float pictureUnits(double windowPixels) { return float(std::floor(windowPixels / glfwGame()->windowScale())); }

// A press keeps the modifiers its event carried: a quick Ctrl+key can fall
// into one poll with Control already let go.
void onKeyEvent(GLFWwindow*, int key, int, int action, int mods)
{
    int code = translateKey(key);
    if (code == 0) return;
    inputArrived.store(true, std::memory_order_relaxed);
    if (action == GLFW_RELEASE) {
        glfwGame()->dispatchKey(eventKeyUp, code);
    } else if (action == GLFW_PRESS || action == GLFW_REPEAT) {
        glfwGame()->dispatchKey(eventKeyDown, code, translateModifiers(mods));
        if (int character = keyCharacter(code)) glfwGame()->dispatchKey(eventChar, character);
    }
}

void onCharEvent(GLFWwindow*, unsigned int codepoint)
{
    inputArrived.store(true, std::memory_order_relaxed);
    glfwGame()->dispatchKey(eventChar, static_cast<int>(codepoint));
}

void onMouseButtonEvent(GLFWwindow* window, int button, int action, int)
{
    if (button > 2) return;
    double x = 0, y = 0;
    glfwGetCursorPos(window, &x, &y);
    if (action == GLFW_PRESS)
        glfwGame()->dispatchMouse(eventMouseDown, button, pictureUnits(x), pictureUnits(y), 0);
    else if (action == GLFW_RELEASE)
        glfwGame()->dispatchMouse(eventMouseUp, button, pictureUnits(x), pictureUnits(y), 0);
}

void onCursorEvent(GLFWwindow*, double x, double y)
{
    glfwGame()->dispatchMouse(eventMouseMove, -1, pictureUnits(x), pictureUnits(y), 0);
}

void onScrollEvent(GLFWwindow* window, double, double yOffset)
{
    double x = 0, y = 0;
    glfwGetCursorPos(window, &x, &y);
    glfwGame()->dispatchMouse(eventMouseMove, -1, pictureUnits(x), pictureUnits(y), float(yOffset));
}

// The close button ends the program through the close-request key.
void onCloseEvent(GLFWwindow* window)
{
    glfwSetWindowShouldClose(window, 0);
    glfwGame()->dispatchKey(eventKeyDown, keyCloseRequest);
    glfwGame()->dispatchKey(eventKeyUp, keyCloseRequest);
}

void onSizeEvent(GLFWwindow*, int width, int height)
{
    int scale = glfwGame()->windowScale();
    glfwGame()->noteWindowSize(width / scale, height / scale);
}

// A resized window shows the picture at its new size even when nothing changed.
void onFramebufferSizeEvent(GLFWwindow*, int width, int height)
{
    glfwGame()->noteFramebufferSize(width, height);
    glfwGame()->requestPictureRefresh();
}

// The window's contents were lost (an expose): show the kept picture again.
void onRefreshEvent(GLFWwindow*) { glfwGame()->requestPictureRefresh(); }

// GLFW reads four bytes a pixel: fewer components would be read past.
bool usableIcon(const ImagePixels& icon)
{
    return icon.data && icon.components == 4 && icon.width > 0 && icon.height > 0;
}

} // namespace

BBGlfwGame::BBGlfwGame()
{
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) {
            desktopMode_ = {mode->width,     mode->height,    mode->redBits,
                            mode->greenBits, mode->blueBits, mode->refreshRate};
        }
    }
}

BBGlfwGame::~BBGlfwGame()
{
    setInputWake(nullptr);
    pixelPut_.detach();
    if (window_) glfwDestroyWindow(window_);
}

void BBGlfwGame::setClipboardText(const String& text)
{
    if (window_) glfwSetClipboardString(window_, narrow(text).c_str());
}

// Not through the windowing library, whose reading waits for the owner
// without a limit.
void BBGlfwGame::requestClipboardText() { clipboardReader_.request(); }

std::optional<ClipboardAnswer> BBGlfwGame::takeClipboardText() { return clipboardReader_.poll(); }

String BBGlfwGame::keyName(int appCode)
{
    int key = windowKeyOf(appCode);
    const char* name = key ? glfwGetKeyName(key, 0) : nullptr;
    return name ? widen(name) : String();
}

int BBGlfwGame::deviceWidth() { return windowWidth_; }
int BBGlfwGame::deviceHeight() { return windowHeight_; }

void BBGlfwGame::noteWindowSize(int width, int height)
{
    windowWidth_ = width;
    windowHeight_ = height;
}

// Releases the keys held in a window that is about to be replaced.
void BBGlfwGame::releaseHeldKeys()
{
    for (int key = 0; key <= 347; ++key) {
        int code = translateKey(key);
        if (code && glfwGetKey(window_, key) == GLFW_PRESS) dispatchKey(eventKeyUp, code);
    }
}

void BBGlfwGame::createWindow(int width, int height, int flags)
{
    if (window_) {
        releaseHeldKeys();
        pixelPut_.detach();
        glfwDestroyWindow(window_);
        window_ = nullptr;
    }
    auto flag = [flags](int bit) { return (flags & bit) != 0; };
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, 8);
    glfwWindowHint(GLFW_DEPTH_BITS, flag(windowDepthBuffer) ? 32 : 0);
    glfwWindowHint(GLFW_STENCIL_BITS, flag(windowStencilBuffer) ? 8 : 0);
    glfwWindowHint(GLFW_RESIZABLE, flag(windowResizable));
    glfwWindowHint(GLFW_DECORATED, flag(windowDecorated));
    glfwWindowHint(GLFW_FLOATING, flag(windowFloating));
    glfwWindowHint(GLFW_VISIBLE, flag(windowFullscreen));
    glfwWindowHint(GLFW_DOUBLEBUFFER, !flag(windowSingleBuffered));
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);
    if (!picture_.windowClass.empty()) {
        glfwWindowHintString(GLFW_X11_CLASS_NAME, picture_.windowClass.c_str());
        glfwWindowHintString(GLFW_X11_INSTANCE_NAME, picture_.windowClass.c_str());
    }

    std::string title = narrow(picture_.title);
    // The GL driver reads its thread count when the first window asks it for a context.
    RasterizerThreadChoice threads;
    if (flag(windowFullscreen)) {
        int count = 0;
        GLFWmonitor** monitors = glfwGetMonitors(&count);
        int index = flag(windowSecondMonitor) ? 1 : 0;
        if (index > count - 1) index = count - 1;
        GLFWmonitor* monitor = monitors && index >= 0 ? monitors[index] : nullptr;
        window_ = glfwCreateWindow(width * scale_, height * scale_, title.c_str(), monitor, nullptr);
    } else {
        window_ = glfwCreateWindow(width * scale_, height * scale_, title.c_str(), nullptr, nullptr);
        if (window_) {
            centreWindow(width * scale_, height * scale_);
            glfwShowWindow(window_);
        }
    }
    if (!window_) {
        printLine(U"glfwCreateWindow FAILED!");
        std::abort();
    }
    announceNewContext();
    windowWidth_ = width;
    windowHeight_ = height;
    glfwMakeContextCurrent(window_);
    glfwSwapInterval(1);
    regionCopy_.attach();
    glfwGetFramebufferSize(window_, &framebufferWidth_, &framebufferHeight_);
    pixelPut_.attach(window_, framebufferWidth_, framebufferHeight_);
    installCallbacks();
    traceStartup("window");
}

void BBGlfwGame::installCallbacks()
{
    glfwSetKeyCallback(window_, onKeyEvent);
    glfwSetCharCallback(window_, onCharEvent);
    glfwSetMouseButtonCallback(window_, onMouseButtonEvent);
    glfwSetCursorPosCallback(window_, onCursorEvent);
    glfwSetScrollCallback(window_, onScrollEvent);
    glfwSetWindowCloseCallback(window_, onCloseEvent);
    glfwSetWindowSizeCallback(window_, onSizeEvent);
    glfwSetFramebufferSizeCallback(window_, onFramebufferSizeEvent);
    glfwSetWindowRefreshCallback(window_, onRefreshEvent);
}

void BBGlfwGame::setWindowIcons(const std::vector<ImagePixels>& icons)
{
    std::vector<GLFWimage> images;
    for (const ImagePixels& icon : icons)
        if (usableIcon(icon)) images.push_back({icon.width, icon.height, icon.data.get()});
    if (window_ && !images.empty()) glfwSetWindowIcon(window_, static_cast<int>(images.size()), images.data());
}

std::vector<BBDisplayMode> BBGlfwGame::displayModes()
{
    std::vector<BBDisplayMode> modes;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (!monitor) return modes;
    int count = 0;
    const GLFWvidmode* list = glfwGetVideoModes(monitor, &count);
    for (int i = 0; list && i < count; ++i) {
        if (list[i].refreshRate == 0 || list[i].refreshRate == 60) modes.push_back({list[i].width, list[i].height});
    }
    return modes;
}

std::optional<BBDisplayMode> BBGlfwGame::desktopMode()
{
    return BBDisplayMode {desktopMode_.width, desktopMode_.height};
}

// Asking GLFW would be a round trip to the X server every frame: the size is
// kept from the window's creation and its resize events instead.
void BBGlfwGame::readFramebufferSize(int& width, int& height)
{
    width = window_ ? framebufferWidth_ : 0;
    height = window_ ? framebufferHeight_ : 0;
}

void BBGlfwGame::noteFramebufferSize(int width, int height)
{
    bool resized = width != framebufferWidth_ || height != framebufferHeight_;
    framebufferWidth_ = width;
    framebufferHeight_ = height;
    if (resized && pixelPut_.available()) pixelPut_.attach(window_, width, height);
}

// ---- The main loop ----

void BBGlfwGame::runLoop()
{
    scale_ = initialWindowScale();
    createWindow(picture_.width, picture_.height, windowDecorated);
    setInputWake(wakeFromInputThread);
    startRun();
    GlfwLoopClock clock;
    while (!glfwWindowShouldClose(window_)) {
        stepRender();
        showFrame();
        traceStartup("frame shown");
        waitForDueUpdate(clock);
        pumpEvents();
        if (!suspended_) runDueUpdates(clock);
    }
    setInputWake(nullptr);  // GLFW ends after the loop
}

void BBGlfwGame::showFrame()
{
    if (framePresented() && !frameCopied()) glfwSwapBuffers(window_);
}

bool BBGlfwGame::copyToWindow(int x, int y, int width, int height) { return regionCopy_.copy(x, y, width, height); }

void BBGlfwGame::pumpEvents()
{
    if (!suspended_) {
        glfwPollEvents();
        // What this poll read is the next step's, announced or not.
        inputArrived.store(false);
        return;
    }
    glfwWaitEvents();
    // Reading the focus is a round trip to the X server, so only a suspended run asks.
    if (glfwGetWindowAttrib(window_, GLFW_FOCUSED)) {
        resumeRun();
        nextUpdate_ = 0;
    }
}

// ---- Joysticks ----

int BBGlfwGame::countJoysticks(bool rescan)
{
    if (!rescan && joysticksScanned_) return joystickCount_;
    joysticksScanned_ = true;
    joystickCount_ = 0;
    for (int id = 0; id < 16 && joystickCount_ < 4; ++id) {
        if (glfwJoystickPresent(id)) joystickIds_[joystickCount_++] = id;
    }
    return joystickCount_;
}

bool BBGlfwGame::pollJoystick(int port, float* joyX, float* joyY, float* joyZ, bool* buttons)
{
    if (!joysticksScanned_) countJoysticks(true);
    if (port < 0 || port >= joystickCount_) return false;
    int axisCount = 0, buttonCount = 0;
    const float* axes = glfwGetJoystickAxes(joystickIds_[port], &axisCount);
    const unsigned char* pressed = glfwGetJoystickButtons(joystickIds_[port], &buttonCount);
    if (!axes || !pressed) return false;
    JoystickReading reading {axes, axisCount, pressed, buttonCount, GLFW_PRESS};
    readJoystick(reading, joyX, joyY, joyZ, buttons);
    return true;
}
