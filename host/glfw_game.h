// The host over GLFW: the one window, its input callbacks and the main loop.
// BBQuorvaneGame is the class that is instantiated.
#pragma once

#include "host/clipboard_reader.h"
#include "host/game.h"
#include "host/window_pixel_put.h"
#include "host/window_region_copy.h"

#include <array>
#include <string>

struct GLFWwindow;

// Window flags of createWindow.
enum WindowFlag {
    windowFullscreen = 1,
    windowResizable = 2,
    windowDecorated = 4,
    windowFloating = 8,
    windowDepthBuffer = 16,
    windowSingleBuffered = 32,
    windowSecondMonitor = 64,
    windowStencilBuffer = 128,
};

// What the application shows: the window's title and the size of its picture
// in units, which the window shows magnified by the window scale.
struct BBWindowPicture {
    String title;
    int width = 0;
    int height = 0;
    // WM_CLASS, instance and class both: what desktops match against the
    // menu entry's StartupWMClass. Empty: GLFW's default (the title).
    std::string windowClass;
};

class BBGlfwGame : public BBGame {
public:
    BBGlfwGame();
    // The program never destroys its host; a test that makes several does.
    ~BBGlfwGame() override;

    int countJoysticks(bool rescan) override;
    bool pollJoystick(int port, float* joyX, float* joyY, float* joyZ, bool* buttons) override;
    void setClipboardText(const String& text) override;
    String keyName(int appCode) override;
    void requestClipboardText() override;
    std::optional<ClipboardAnswer> takeClipboardText() override;
    int deviceWidth() override;
    int deviceHeight() override;
    void createWindow(int width, int height, int flags) override;
    void setWindowIcons(const std::vector<ImagePixels>& icons) override;
    std::vector<BBDisplayMode> displayModes() override;
    std::optional<BBDisplayMode> desktopMode() override;
    void readFramebufferSize(int& width, int& height) override;
    int windowScale() override { return scale_; }
    void setWindowScale(int scale) override;
    bool canCopyToWindow() override { return regionCopy_.available(); }
    bool copyToWindow(int x, int y, int width, int height) override;
    bool canPutToWindow() override { return pixelPut_.available(); }
    bool putToWindow(const std::vector<WindowPixels>& parts) override { return pixelPut_.put(parts); }

    // Handed over by the application before the window opens.
    void setWindowPicture(const BBWindowPicture& picture) { picture_ = picture; }

    // Opens the window, starts the run and loops until the window is asked to
    // close. The close button normally ends the process before that.
    void runLoop();
    // Polls (or, while suspended, waits for) window events.
    void pumpEvents();
    // Swaps the buffers after a frame that put its picture in the back buffer.
    void showFrame();
    // Tests turn the region copy off to see the swapping path.
    WindowRegionCopy& regionCopy() { return regionCopy_; }
    // And the put from memory, to see the GL driver's copy.
    WindowPixelPut& pixelPut() { return pixelPut_; }

    GLFWwindow* window() const { return window_; }
    void noteWindowSize(int width, int height);
    void noteFramebufferSize(int width, int height);

private:
    void releaseHeldKeys();
    void installCallbacks();
    int initialWindowScale() const;
    void centreWindow(int width, int height);

    struct VideoMode {
        int width = 0, height = 0, redBits = 0, greenBits = 0, blueBits = 0, refreshRate = 0;
    };

    BBWindowPicture picture_;
    VideoMode desktopMode_;
    GLFWwindow* window_ = nullptr;
    int windowWidth_ = 0;
    int windowHeight_ = 0;
    int framebufferWidth_ = 0;
    int framebufferHeight_ = 0;
    int scale_ = 1;  // window pixels per picture unit
    WindowRegionCopy regionCopy_;
    WindowPixelPut pixelPut_;
    ClipboardReader clipboardReader_;
    std::array<int, 4> joystickIds_ {};
    int joystickCount_ = 0;
    bool joysticksScanned_ = false;
};

class BBQuorvaneGame : public BBGlfwGame {};
