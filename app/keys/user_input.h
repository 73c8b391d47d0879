// How the tracker reads a step's input: fresh presses and clicks only, so a
// held button or key never repeats an action.
#pragma once

#include "app/screen/screen_layout.h"
#include "host/input_device.h"
#include "host/key_translation.h"

#include <cstddef>

inline bool pressed(const c_InputDevice& input, int key) { return input.hitCount(key) != 0; }

// A left click inside the rectangle during this step.
inline bool clicked(const c_InputDevice& input, const ButtonRect& rect)
{
    return pressed(input, keyMouseLeft) && rect.contains(input.pointerX(), input.pointerY());
}

template <std::size_t N>
bool clickedAny(const c_InputDevice& input, const ButtonRect (&rects)[N])
{
    for (const ButtonRect& rect : rects) {
        if (clicked(input, rect)) return true;
    }
    return false;
}

// Presses this step of a key whose event came with Control held: the
// program's own shortcuts. The windowing library sends no character while
// Control is down, so these never type into the pattern or a name field.
// The event's own modifiers decide, so a quick chord whose Control went down
// and up in other polls than the key still counts, and a Control let go
// before the key does not.
inline int controlPresses(const c_InputDevice& input, int key) { return input.hitCountWith(key, modifierControl); }

inline bool controlPressed(const c_InputDevice& input, int key) { return controlPresses(input, key) != 0; }
