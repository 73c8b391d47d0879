#include "app/sound_engine.h"

#include "app/status_texts.h"
#include "song/song_file.h"
#include "app/user_input.h"
#include "audio/sound.h"

#include <utility>

namespace {
constexpr int heldRepeatDelay = 12;  // steps an arrow is held before it repeats
} // namespace

// The editor's step, as the ordered list of its phases.
void c_SoundEngine::editorInput()
{
    songNameField();
    descriptionField();
    homeButton();
    saveTrigger();
    loadTrigger();
    selectPreviewSounds();
    positionButtons();
    columnKeys();
    positionKeys();
    rowKeys();
    char32_t ch = fetchCharacter();
    volumeDigitEntry(ch);
    transposeKeys();
    blockMarking();
    blockPaste();
    rowDelete();
    rowInsert();
    noteEntry(ch);
    laterCharacters();
    placeNoteEntry();
    midiNoteEntry();
    updatePreviewVoice();
}

void c_SoundEngine::setCell(int column, int index, char32_t ch)
{
    PatternColumn& cells = patternColumns[column];
    if (index < 0 || index >= static_cast<int>(cells.size()) || std::as_const(cells)[index] == ch) return;
    cells.set(static_cast<size_t>(index), ch);
    markSongChanged();
}

void c_SoundEngine::homeButton()
{
    if (!clicked(input(), buttons::home)) return;
    rowInPattern = 0;
    currentPosition = 0;
}

void c_SoundEngine::saveTrigger()
{
    if (!pressed(input(), keyF11) && !clicked(input(), buttons::save)) return;
    SaveOutcome outcome = songFilePath.empty() ? saveSong(*this, songName) : saveSongFile(*this, songFilePath);
    statusText = saveStatusText(outcome);
    if (outcome == SaveOutcome::saved) endUnsavedState(true);
}

void c_SoundEngine::loadTrigger()
{
    if (!pressed(input(), keyF12) && !clicked(input(), buttons::load)) return;
    statusText = loadSongFile();
    rowInPattern = 0;
    currentPosition = 0;
}

// ---- Position list ----

void c_SoundEngine::positionButtons()
{
    if (textFieldActive()) return;
    if (clicked(input(), buttons::insertPosition)) insertPosition();
    if (clicked(input(), buttons::deletePosition)) deletePosition();
}

// A new position of pattern 0 at the current one; the last entry falls off.
void c_SoundEngine::insertPosition()
{
    for (int i = positionCount - 1; i > currentPosition; --i) positions[i] = positions[i - 1];
    positions[currentPosition] = 0;
    markSongChanged();
}

// The entries below move up one; the freed last entry plays pattern 0.
void c_SoundEngine::deletePosition()
{
    if (currentPosition >= positionCount) return;
    for (int i = currentPosition; i < positionCount - 1; ++i) positions[i] = positions[i + 1];
    positions[positionCount - 1] = 0;
    markSongChanged();
}

// ---- Cursor ----

void c_SoundEngine::columnKeys()
{
    const int moves[][2] = {{keyTab, 2}, {keyRight, 1}, {keyLeft, -1}};
    for (const auto& [key, step] : moves) {
        if (!pressed(input(), key)) continue;
        cursorColumn += step;
        stopAllChannels();
    }
    if (cursorColumn < 1) cursorColumn = 8;
    if (cursorColumn > 8) cursorColumn = 1;
}

// Page keys and the wheel walk the position list; it stops at both ends, as
// there are only 256 positions.
void c_SoundEngine::positionKeys()
{
    if (pressed(input(), keyPageUp) || wheelStep == 1.0f) {
        if (currentPosition > 0) {
            currentPosition -= 1;
            patternBaseRow = positions[currentPosition] * rowsPerPattern;
        }
    }
    if (pressed(input(), keyPageDown) || wheelStep == -1.0f) {
        if (currentPosition < positionCount - 1) currentPosition += 1;
        patternBaseRow = positions[currentPosition] * rowsPerPattern;
    }
}

// A press moves one row at once; a held arrow repeats from its 13th step on.
void c_SoundEngine::rowKeys()
{
    upHeldSteps = input().isDown(keyUp) ? upHeldSteps + 1 : 0;
    if (upHeldSteps > heldRepeatDelay) cursorRow -= 1;
    downHeldSteps = input().isDown(keyDown) ? downHeldSteps + 1 : 0;
    if (downHeldSteps > heldRepeatDelay) cursorRow += 1;
    if (pressed(input(), keyUp)) cursorRow -= 1;
    if (pressed(input(), keyDown)) cursorRow += 1;
    if (cursorRow > rowsPerPattern) cursorRow = 1;
    if (cursorRow < 1) cursorRow = rowsPerPattern;
}

// The next character of the step; the US layout swaps the keys of "y" and
// "z" so that the note keyboard keeps its shape. While a name is typed the
// name field has taken them all.
char32_t c_SoundEngine::fetchCharacter()
{
    if (textFieldActive()) return 0;
    return layoutCharacter(input().nextChar());
}

char32_t c_SoundEngine::layoutCharacter(int typed) const
{
    auto ch = static_cast<char32_t>(typed);
    if (layoutIndex == 1) {
        if (ch == U'y' || ch == U'Y') return U'z';
        if (ch == U'z' || ch == U'Z') return U'y';
    }
    return ch;
}

// Characters that came after the first within one step (a fast typist, a
// chord on the computer keyboard, a pause of the loop) are entered after
// it, in order, as if each had a step of its own: none is lost.
void c_SoundEngine::laterCharacters()
{
    while (char32_t ch = fetchCharacter()) {
        // The next step's row keys would bring a cursor below the last row
        // back to the first.
        if (cursorRow > rowsPerPattern) cursorRow = 1;
        volumeDigitEntry(ch);
        noteEntry(ch);
    }
}
