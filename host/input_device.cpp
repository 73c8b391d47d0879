#include "host/input_device.h"

#include "host/game.h"
#include "host/key_translation.h"

namespace {
bool validCode(int code) { return code >= 1 && code < c_InputDevice::keyCount; }
} // namespace

bool c_InputDevice::isDown(int code) const { return validCode(code) && keyDown[code]; }

int c_InputDevice::hitCount(int code) const { return validCode(code) ? hitCounts[code] : 0; }

int c_InputDevice::hitCountWith(int code, int modifiers) const
{
    int count = 0;
    for (int i = 0; i < hitQueueLength; ++i)
        count += hitQueue[i] == code && (hitQueueModifiers[i] & modifiers) == modifiers;
    return count;
}

int c_InputDevice::mouseHitCount(int button) const
{
    return button >= 0 && button <= 510 ? hitCount(button + 1) : 0;
}

int c_InputDevice::nextChar()
{
    if (charRead == charWrite) return 0;
    return charQueue[charRead++];
}

void c_InputDevice::requestClipboardText()
{
    if (host_) host_->requestClipboardText();
}

std::optional<ClipboardAnswer> c_InputDevice::takeClipboardText()
{
    return host_ ? host_->takeClipboardText() : std::nullopt;
}

void c_InputDevice::setClipboardText(const String& text)
{
    if (host_) host_->setClipboardText(text);
}

String c_InputDevice::keyName(int code) const { return host_ ? host_->keyName(code) : String(); }

float c_InputDevice::takeWheel()
{
    float value = wheel;
    wheel = 0;
    return value;
}

void c_InputDevice::countPress(int code, int modifiers)
{
    if (hitQueueLength >= hitQueueCapacity) return;
    hitCounts[code] += 1;
    hitQueueModifiers[hitQueueLength] = modifiers;
    hitQueue[hitQueueLength++] = code;
}

void c_InputDevice::pressKey(int code, int modifiers)
{
    if (!validCode(code) || keyDown[code]) return;
    keyDown[code] = true;
    countPress(code, modifiers);
    // The left mouse button and the first touch mirror each other.
    int mirror = code == keyMouseLeft ? keyTouchBase : code == keyTouchBase ? keyMouseLeft : 0;
    if (mirror) {
        keyDown[mirror] = true;
        countPress(mirror);
    }
}

void c_InputDevice::releaseKey(int code)
{
    if (!validCode(code) || !keyDown[code]) return;
    keyDown[code] = false;
    if (code == keyMouseLeft) keyDown[keyTouchBase] = false;
    if (code == keyTouchBase) keyDown[keyMouseLeft] = false;
}

void c_InputDevice::pushChar(int character)
{
    if (charWrite < charQueueCapacity) charQueue[charWrite++] = character;
}

void c_InputDevice::movePointer(float x, float y, float z)
{
    mouseX = x;
    mouseY = y;
    wheel = z;  // replaced, not added: a later move in the same poll clears it
    touchX[0] = x;
    touchY[0] = y;
}

void c_InputDevice::moveTouch(int index, float x, float y)
{
    if (index < 0 || index >= 32) return;
    touchX[index] = x;
    touchY[index] = y;
    if (index == 0) {
        mouseX = x;
        mouseY = y;
    }
}

void c_InputDevice::setAccel(float x, float y, float z)
{
    accelX = x;
    accelY = y;
    accelZ = z;
}

void c_InputDevice::pollJoysticks()
{
    if (!host_) return;
    for (int port = 0; port < 4; ++port) {
        c_JoyState& state = joyStates[port];
        if (!host_->pollJoystick(port, state.joyX.data(), state.joyY.data(), state.joyZ.data(),
                                 state.buttons.data()))
            return;
        for (int button = 0; button < 32; ++button) {
            int code = keyJoystickBase + 32 * port + button;
            if (!state.buttons[button]) {
                keyDown[code] = false;
            } else if (!keyDown[code]) {
                keyDown[code] = true;
                countPress(code);
            }
        }
    }
}

void c_InputDevice::beginUpdate()
{
    pollJoysticks();
    midiQueue.takeArrived();
}

void c_InputDevice::endUpdate()
{
    for (int i = 0; i < hitQueueLength; ++i) hitCounts[hitQueue[i]] = 0;
    hitQueueLength = 0;
    charRead = 0;
    charWrite = 0;
    midiQueue.clearStep();
}
