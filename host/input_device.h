// Keyboard, mouse, wheel and joystick state as the application reads it once
// per update step: held keys, presses since the last step, typed characters.
#pragma once

#include "host/clipboard_answer.h"
#include "base/text.h"
#include "host/midi_queue.h"

#include <array>
#include <optional>

class BBGame;

struct c_JoyState {
    std::array<float, 2> joyX {};  // index 0: left stick and trigger, 1: right
    std::array<float, 2> joyY {};
    std::array<float, 2> joyZ {};
    std::array<bool, 32> buttons {};
};

class c_InputDevice {
public:
    static constexpr int keyCount = 512;
    // Room for a burst of note keys by place that one update step takes.
    static constexpr int hitQueueCapacity = 256;
    // Room for a burst of typing that one update step takes in full.
    static constexpr int charQueueCapacity = 256;

    explicit c_InputDevice(BBGame* host = nullptr) : host_(host) {}

    // Queries for the application.
    bool isDown(int code) const;
    int hitCount(int code) const;
    // Presses of the key since the last step whose key event came with all
    // of the modifiers (KeyModifier bits) held.
    int hitCountWith(int code, int modifiers) const;
    int mouseHitCount(int button) const;
    // The presses since the last step in the order they came, with the
    // modifiers of each (as many as the queue holds).
    int pressCount() const { return hitQueueLength; }
    int pressedKey(int index) const { return hitQueue[index]; }
    int pressModifiers(int index) const { return hitQueueModifiers[index]; }
    int nextChar();
    // The characters typed since the last step that nextChar has not taken
    // yet, oldest first; index below pendingCharCount.
    int pendingCharCount() const { return charWrite - charRead; }
    int pendingChar(int index) const { return charQueue[static_cast<size_t>(charRead + index)]; }
    // Whether the wheel turned since the last step (takeWheel leaves it still).
    bool wheelTurned() const { return wheel != 0; }
    float pointerX() const { return mouseX; }
    float pointerY() const { return mouseY; }
    float takeWheel();
    // The notes struck on MIDI keyboards since the previous update step, in
    // the order played.
    const MidiQueue& midiNotes() const { return midiQueue; }
    // The system clipboard's text, asked for and then taken on a later step
    // (empty when it holds none); and new text for it.
    void requestClipboardText();
    std::optional<ClipboardAnswer> takeClipboardText();
    void setClipboardText(const String& text);
    // What the user's keyboard prints at the place of the key code; empty
    // when the windowing library does not know.
    String keyName(int code) const;

    // Event entry points for the delegate.
    void pressKey(int code, int modifiers = 0);
    void releaseKey(int code);
    void pushChar(int character);
    void movePointer(float x, float y, float z);
    void moveTouch(int index, float x, float y);
    void setAccel(float x, float y, float z);

    // The bracket around each update step.
    void beginUpdate();
    void endUpdate();

    std::array<c_JoyState, 4> joyStates {};
    std::array<bool, keyCount> keyDown {};
    int hitQueueLength = 0;
    std::array<int, hitQueueCapacity> hitQueue {};
    std::array<int, hitQueueCapacity> hitQueueModifiers {};  // of each entry of hitQueue
    std::array<int, keyCount> hitCounts {};
    int charRead = 0;
    int charWrite = 0;
    std::array<int, charQueueCapacity> charQueue {};
    float mouseX = 0;
    float mouseY = 0;
    float wheel = 0;
    std::array<float, 32> touchX {};
    std::array<float, 32> touchY {};
    float accelX = 0;
    float accelY = 0;
    float accelZ = 0;
    // Filled from the MIDI library's thread; taken by beginUpdate.
    MidiQueue midiQueue;

private:
    // Counts and queues one press while the queue has room.
    void countPress(int code, int modifiers = 0);
    void pollJoysticks();

    BBGame* host_;
};
