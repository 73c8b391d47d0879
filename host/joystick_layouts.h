// How a joystick's raw axes and buttons become two sticks, two triggers and
// up to 32 buttons, by the shape of the device.
#pragma once

struct JoystickReading {
    const float* axes;
    int axisCount;
    const unsigned char* buttons;
    int buttonCount;
    unsigned char pressedValue;
};

// Fills joyX/joyY/joyZ (two entries each: left, right) and buttons (32).
void readJoystick(const JoystickReading& reading, float* joyX, float* joyY, float* joyZ, bool* buttons);
