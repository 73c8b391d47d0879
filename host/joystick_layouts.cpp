#include "host/joystick_layouts.h"

#include <array>
#include <cstddef>

namespace {

// A source entry: kind in the high bits, index in the low 4 bits.
enum SourceKind { axisAsIs = 0, axisToUnit = 16, axisInvertedToUnit = 32, axisNegated = 64, buttonAsAxis = 128 };

struct JoystickLayout {
    int axisCount;    // 0 = any
    int buttonCount;  // 0 = any
    std::array<int, 6> sources;  // joyX[0], joyY[0], joyZ[0], joyX[1], joyY[1], joyZ[1]
    std::array<int, 19> buttonMap;
    int mappedButtons;
};

constexpr JoystickLayout layouts[] = {
    {6, 15, {0, 65, 20, 2, 67, 21}, {11, 12, 13, 14, 8, 9, 5, 4, 2, 0, 3, 1, 6, 7, 10}, 15},
    {4, 19, {0, 65, 136, 2, 67, 137}, {14, 13, 15, 12, 10, 11, 0, 3, 7, 4, 5, 6, 1, 2, 16}, 15},
    {0, 0, {0, 65, 134, 2, 67, 135}, {1, 2, 0, 3, 4, 5, 8, 9, 15, 12, 13, 14, 10, 11}, 14},
};

const JoystickLayout& layoutFor(const JoystickReading& reading)
{
    for (const JoystickLayout& layout : layouts) {
        if (layout.axisCount == reading.axisCount && layout.buttonCount == reading.buttonCount) return layout;
    }
    return layouts[2];
}

float axisAt(const JoystickReading& reading, int index)
{
    return index < reading.axisCount ? reading.axes[index] : 0.0f;
}

bool buttonAt(const JoystickReading& reading, int index)
{
    return index < reading.buttonCount && reading.buttons[index] == reading.pressedValue;
}

float readSource(const JoystickReading& reading, int entry)
{
    int index = entry & 15;
    switch (entry & ~15) {
    case axisAsIs: return axisAt(reading, index);
    case axisToUnit: return (1 + axisAt(reading, index)) * 0.5f;
    case axisInvertedToUnit: return (1 - axisAt(reading, index)) * 0.5f;
    case axisNegated: return -axisAt(reading, index);
    case buttonAsAxis: return buttonAt(reading, index) ? 1.0f : 0.0f;
    default: return 0.0f;
    }
}

} // namespace

void readJoystick(const JoystickReading& reading, float* joyX, float* joyY, float* joyZ, bool* buttons)
{
    const JoystickLayout& layout = layoutFor(reading);
    float* targets[6] = {&joyX[0], &joyY[0], &joyZ[0], &joyX[1], &joyY[1], &joyZ[1]};
    for (size_t i = 0; i < 6; ++i) *targets[i] = readSource(reading, layout.sources[i]);
    for (int b = 0; b < 32; ++b) buttons[b] = b < layout.mappedButtons && buttonAt(reading, layout.buttonMap[b]);
}
