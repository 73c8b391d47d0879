// The tracker's parts without an application, wired as the application
// wires them, and an input device on a windowless host of its own (which
// keeps a clipboard). No window, no sound device, no update step: a test
// calls the part it checks.
#pragma once

#include "app/tracker_parts.h"
#include "host/headless_game.h"
#include "host/input_device.h"
#include "host/key_translation.h"

#include <gtest/gtest.h>

class PartsFixture : public ::testing::Test, public TrackerParts {
protected:
    // The blank song with its history, as the application starts.
    void SetUp() override
    {
        song.patternColumns = blankColumns();
        undo.startBlank();
    }

    // One step with what came in since the last: the pattern editor's, or
    // what a fixture's part takes instead.
    void step()
    {
        input.beginUpdate();
        stepParts();
        input.endUpdate();
    }
    virtual void stepParts() { editor.step(input, input.takeWheel()); }
    void press(int key)
    {
        input.pressKey(key);
        input.releaseKey(key);
    }
    void pressAndStep(int key)
    {
        press(key);
        step();
    }
    // Characters as the window delivers them, taken by the next step.
    void type(const String& text)
    {
        for (char32_t c : text) input.pushChar(static_cast<int>(c));
    }
    void typeStepwise(const String& text)
    {
        for (char32_t c : text) {
            type(String(1, c));
            step();
        }
    }
    // A left click at a window position, taken by the next step.
    void click(float x, float y)
    {
        input.movePointer(x, y, 0);
        press(keyMouseLeft);
    }
    char32_t cell(int column, int index) const { return song.patternColumns[column][index]; }

    BBHeadlessGame host;
    c_InputDevice input {&host};
};
