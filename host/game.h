// The host game object: update rate, lifecycle flags, file services and the
// dispatch of events to the delegate. BBGlfwGame adds the window and the loop.
#pragma once

#include "host/clipboard_answer.h"
#include "base/text.h"
#include "host/decoded_media.h"
#include "host/window_pixel_put.h"

#include <cstdio>
#include <optional>
#include <vector>

class LoopClock;
class ThrowableObject;

// Event codes carried by the dispatch operations.
enum EventCode {
    eventKeyDown = 1,
    eventKeyUp = 2,
    eventChar = 3,
    eventMouseDown = 4,
    eventMouseUp = 5,
    eventMouseMove = 6,
    eventTouchDown = 7,
    eventTouchUp = 8,
    eventTouchMove = 9,
    eventMotionAccel = 10,
};

struct BBDisplayMode {
    int width = 0;
    int height = 0;
};

// The interface through which the host reaches the framework.
class BBGameDelegate {
public:
    virtual ~BBGameDelegate() = default;
    virtual void onStart() {}
    virtual void onSuspend() {}
    virtual void onResume() {}
    virtual void onUpdate() {}
    virtual void onRender() {}
    // A key-down's modifiers are KeyModifier bits; other events carry none.
    virtual void onKey(int /*event*/, int /*data*/, int /*modifiers*/ = 0) {}
    virtual void onMouse(int /*event*/, int /*data*/, float /*x*/, float /*y*/, float /*z*/) {}
    virtual void onTouch(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
    virtual void onMotion(int /*event*/, int /*data*/, float /*x*/, float /*y*/, float /*z*/) {}
    virtual void onDiscardGraphics() {}
    // Keys or MIDI notes arrived while the loop waits for the next update
    // step, which will read them: the delegate may get ready for them (start
    // a note's sound), as long as the step then does all it would have done.
    virtual void onInputArrived() {}
};

class BBGame {
public:
    BBGame();
    virtual ~BBGame();

    // The process's host game object (the last one constructed).
    static BBGame* game();

    // Operations in slot order.
    virtual void setDelegate(BBGameDelegate* delegate);
    virtual BBGameDelegate* delegate();
    virtual void setUpdateRate(int hertz);
    virtual int countJoysticks(bool rescan);
    virtual bool pollJoystick(int port, float* joyX, float* joyY, float* joyZ, bool* buttons);
    virtual void setClipboardText(const String& text);
    // Asks for the system clipboard's text without waiting for its owner;
    // takeClipboardText gives the answer on a later call (or at once, where
    // the clipboard is the program's own).
    virtual void requestClipboardText();
    virtual std::optional<ClipboardAnswer> takeClipboardText();
    // What the user's keyboard prints on the key at the place of an
    // application key code, for the layout in use; empty when unknown.
    virtual String keyName(int appCode);
    virtual int deviceWidth();
    virtual int deviceHeight();
    virtual void createWindow(int width, int height, int flags);
    // The same icon in several sizes, for the window manager to choose from;
    // images that are not 4-component pixels are left out.
    virtual void setWindowIcons(const std::vector<ImagePixels>& icons);
    virtual std::vector<BBDisplayMode> displayModes();
    virtual std::optional<BBDisplayMode> desktopMode();
    [[noreturn]] virtual void reportUncaught(const ThrowableObject& error);
    virtual void afterEvent();
    virtual void startRun();
    virtual void resumeRun();
    virtual void stepUpdate();
    virtual void stepRender();
    virtual void dispatchKey(int event, int data, int modifiers = 0);
    virtual void dispatchMouse(int event, int data, float x, float y, float z);
    // Between update steps: input arrived that the next step will read.
    void dispatchInputArrived();

    // Size of the window's framebuffer in pixels (the renderer's viewport).
    virtual void readFramebufferSize(int& width, int& height);
    // How many times larger than the program's picture the window shows it.
    virtual int windowScale();
    // Resizes the window to show the picture at a scale of 1 to 4.
    virtual void setWindowScale(int scale);

    // The main loop's pacing, on the clock given. Waits until the next update
    // step is due (at once while none is scheduled).
    void waitForDueUpdate(LoopClock& clock);
    // Runs the update steps that are due, at most four; a longer backlog is
    // dropped and the schedule starts again from now, so a stall never
    // snowballs. With no update rate, one step.
    void runDueUpdates(LoopClock& clock);

    // The window system lost what the window showed (an expose): the next
    // frame shows the kept picture again even if it draws nothing new.
    void requestPictureRefresh() { pictureRefreshDue_ = true; }
    bool takePictureRefresh();
    // Copies a rectangle of the back buffer (lower-left corner in GL window
    // coordinates) to the window, where the window system can; false where not.
    virtual bool canCopyToWindow() { return false; }
    virtual bool copyToWindow(int /*x*/, int /*y*/, int /*width*/, int /*height*/) { return false; }
    // Puts pixels from memory straight into the window, where the window
    // system can; false, doing nothing, where not.
    virtual bool canPutToWindow() { return false; }
    virtual bool putToWindow(const std::vector<WindowPixels>& /*parts*/) { return false; }
    // Told by the renderer after each frame: a frame that drew nothing put
    // nothing in the back buffer, and the loop does not swap it; a frame
    // whose changes were copied to the window already needs no swap either.
    void noteFramePresented(bool presented, bool copied = false)
    {
        framePresented_ = presented;
        frameCopied_ = copied;
    }
    bool framePresented() const { return framePresented_; }
    bool frameCopied() const { return frameCopied_; }

protected:
    // Runs one delegate call; an error object escaping it ends the process.
    template <typename Call>
    void dispatch(Call call);

    BBGameDelegate* delegate_ = nullptr;
    int updateRate_ = 0;
    double updatePeriod_ = 0;  // seconds, 1 / updateRate
    double nextUpdate_ = 0;    // seconds on the host clock; 0 = not scheduled
    bool started_ = false;
    bool suspended_ = false;
    bool pictureRefreshDue_ = false;
    bool framePresented_ = true;
    bool frameCopied_ = false;
};
