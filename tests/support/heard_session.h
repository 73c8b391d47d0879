// A test of the real program that is heard: the tracker started with its
// sound captured by the wave writer, its screen read as text, and the test
// begun once the window shows "Standby...". One capture serves every test of
// a program, which runs its tests one after another.
#pragma once

#include "tests/support/screen_text.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"

#include <gtest/gtest.h>

#include <string>

class HeardSession : public ::testing::Test {
protected:
    HeardSession() : tracker({capture.environment()}) {}

    void SetUp() override;
    bool waitForStatus(const std::string& text);
    // Moves the pointer along a line by a pixel at a time until the status
    // row shows the text: the program explains only what a moving pointer
    // rests on, and two moves sent at once may reach it as one.
    bool hoverUntilStatus(int x, int y, const std::string& text);

    static SoundCapture capture;
    TrackerProcess tracker;
    ScreenText reader;
};
