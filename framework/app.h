// The application base with its three hooks, and the framework's delegate
// that owns the renderer, the audio device and the input device.
#pragma once

#include "host/game.h"

#include <memory>
#include <vector>

class c_InputDevice;
class gxtkAudio;
class gxtkGraphics;
class MidiInput;

class c_App {
public:
    // Records the one application and installs a new delegate in the host;
    // a second application is a runtime error.
    c_App();
    virtual ~c_App();
    c_App(const c_App&) = delete;
    c_App& operator=(const c_App&) = delete;

    virtual void create() {}
    // Called once the first picture is shown and the audio device is open,
    // before the first update: loads what is only heard.
    virtual void createSounds() {}
    virtual void update() {}
    // Keys or MIDI notes came in that the next update will read (the input
    // device holds them already): time to get ready for them, without doing
    // anything the update would not do.
    virtual void inputArrived() {}
    virtual void render() {}
    // Called once before the program ends at a close request or a
    // termination signal, to keep what the user has not saved.
    virtual void close() {}

    // The process's application object.
    static c_App* app();
};

class c_GameDelegate : public BBGameDelegate {
public:
    explicit c_GameDelegate(c_App& app);
    ~c_GameDelegate() override;

    void onStart() override;
    void onSuspend() override;
    void onResume() override;
    void onUpdate() override;
    void onRender() override;
    void onKey(int event, int data, int modifiers = 0) override;
    void onMouse(int event, int data, float x, float y, float z) override;
    void onTouch(int event, int data, float x, float y) override;
    void onMotion(int event, int data, float x, float y, float z) override;
    void onDiscardGraphics() override;
    void onInputArrived() override;

    std::unique_ptr<gxtkGraphics> renderer;
    std::unique_ptr<gxtkAudio> audio;
    std::unique_ptr<c_InputDevice> input;
    std::unique_ptr<MidiInput> midi;  // null when MIDI is off
    // Distinct display sizes and the desktop size, kept for completeness.
    std::vector<BBDisplayMode> displaySizes;
    BBDisplayMode desktopSize;

private:
    void collectDisplaySizes();
    void startSound();
    void refreshDeviceSize();

    c_App& app_;
};

// The delegate of the one application (null before it exists).
c_GameDelegate* gameDelegate();

// The input device the delegate created; null before the run starts.
c_InputDevice* inputDevice();

// Sets the host's update rate in steps per second.
void setUpdateRate(int hertz);

// Window size as the framework last read it.
extern int cachedDeviceWidth;
extern int cachedDeviceHeight;
