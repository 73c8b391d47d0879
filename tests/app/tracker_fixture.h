// A tracker running in this test program: the real delegate and input device
// and the null audio backend, on the host without a window (the editor's
// logic reads no pixel), or, for a fixture that draws, on a real window under
// a private X server. Events go in through the host's dispatch operations,
// exactly as the window callbacks deliver them, and each step() runs one
// update.
#pragma once

#include "app/sound_engine.h"
#include "host/game.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Pattern columns of channel 1's parts: note, volume, instrument, octave.
inline constexpr int notes1 = 0, volumes1 = 4, instruments1 = 8, octaves1 = 12;

// The recovery file of the given number in the build's data folder.
std::string recoveryFileOf(int number);

class TrackerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A fixture whose tests draw frames opens a window for them.
    virtual bool drawsFrames() const { return false; }

    // One update step.
    void step();
    // As a new start of the program, with a song argument when one is given.
    void restartTracker(const std::string& songArgument = std::string());
    // A key pressed and released before the next step.
    void press(int key);
    // A key goes down with the modifiers held at that moment, as the window
    // reports them; holding Shift or Control adds them.
    void hold(int key);
    void release(int key);
    // Characters as the character callback delivers them.
    void type(const String& text);
    // A left click at a window position.
    void click(float x, float y);
    // Presses (and releases) a key, then runs one step.
    void pressAndStep(int key);
    // Types one character and runs one step, for each character.
    void typeStepwise(const String& text);

    // Index of the cell under the cursor in any column.
    int cursorIndex() const { return engine->transport.viewBase() + engine->cursor.row - 1; }
    char32_t cell(int column, int index) const { return engine->song.patternColumns[column][index]; }
    // OpenAL's state of an audio channel's source (AL_PLAYING, AL_STOPPED, ...).
    int channelState(int channel) const;
    float channelGain(int channel) const;

    void startTracker(const std::string& songArgument = std::string());

    int heldModifiers = 0;
    std::unique_ptr<BBGame> game;
    std::unique_ptr<c_SoundEngine> engine;
};
