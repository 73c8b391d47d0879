#include "app/sound_engine.h"

#include "app/cell_text.h"
#include "app/screen_colours.h"
#include "graphics/font.h"
#include "graphics/drawing.h"
#include "graphics/graphics_context.h"

namespace {

constexpr int repaintInterval = 3;  // update steps between full repaints
constexpr int meterFloor = 2;
constexpr int meterTop = 64;

void tint(const Colour& colour) { setTint(colour.r, colour.g, colour.b); }

// The grid reads past the last pattern slot while it plays the last rows of
// pattern 255; such cells show as blank.
char32_t cellOrBlank(const String& column, int index, char32_t blank)
{
    return index >= 0 && index < static_cast<int>(column.size()) ? column[index] : blank;
}

} // namespace

void c_SoundEngine::render() { renderScreen(); }

// The screen is never cleared: a full repaint comes every third update step
// and the meters are repainted every frame.
void c_SoundEngine::renderScreen()
{
    if (redrawCounter >= repaintInterval) {
        fullRepaint();
        redrawCounter = 0;
    }
    drawLevelMeters();
}

void c_SoundEngine::fullRepaint()
{
    bool following = followText == U"On";
    if (transportState != statePlaying) {
        drawScreenBody();
    } else {
        // While playing the body is repainted only at a pattern start with
        // follow on; otherwise the grid stays as it was.
        if (following && rowInPattern == 0) drawScreenBody();
        if (following) drawPlayMarker();
    }
    drawHeaderAndStatus();
}

// The old marker line is erased in the grid's colour, the new one drawn.
void c_SoundEngine::drawPlayMarker()
{
    float erased = static_cast<float>(rowInPattern * 12 - 10);
    float marked = static_cast<float>(rowInPattern * 12 + 2);
    tint(colours::grid);
    strokeLine(2, erased, 303, erased);
    tint(colours::statusText);
    strokeLine(2, marked, 303, marked);
}

void c_SoundEngine::drawHeaderAndStatus()
{
    tint(colours::frame);
    fillRect(520, 323, 570, 16);
    fillRect(4, 408, 380, 16);
    tint(colours::titleBar);
    fillRect(2, 0, 640, 14);
    tint(colours::statusText);
    drawString(String(43, U' ') + statusText, 0, -1);
    tint(colours::text);
    drawString(U"POS CHN1  CHN2  CHN3  CHN4  POS ## Status: ", 0, -1);
    for (int k = 0; k < channelCount; ++k) channelOnTexts[k] = channelLevels[k] == 1.0f ? U"on  " : U"off ";
    drawString(U"    " + channelOnTexts[0] + U"  " + channelOnTexts[1] + U"  " + channelOnTexts[2] + U"  " +
                   channelOnTexts[3] + U" FLW:" + followText,
               0, 408);
    drawString(transportState == statePlaying ? U"STOP HOME" : U"PLAY HOME", 520, 323);
}

// A meter jumps to the playing row's volume when a channel reads a cell, and
// falls by two units a frame to its floor.
void c_SoundEngine::drawLevelMeters()
{
    int index = patternBaseRow + rowInPattern - 1;
    for (int k = 0; k < channelCount; ++k) {
        float x = static_cast<float>(407 + 22 * k);
        if (transportState == statePlaying && channelLevels[k] != 0 &&
            cellOrBlank(patternColumns[k], index, U'.') != U'.')
            meterLevels[k] = hexDigitValue(cellOrBlank(patternColumns[4 + k], index, U'0')) * 8;
        meterLevels[k] -= 2;
        if (meterLevels[k] < meterFloor) meterLevels[k] = meterFloor;
        if (meterLevels[k] > meterTop) meterLevels[k] = meterTop;
        float level = static_cast<float>(meterLevels[k]);
        tint(colours::frame);
        fillRect(x, 348, 16, -64);
        setTint(79 + level, 95 - level, 151 - level);
        fillRect(x, 348, 16, -level);
    }
}

void c_SoundEngine::drawScreenBody()
{
    tint(colours::frame);
    fillRect(0, 0, 640, 475);
    tint(colours::grid);
    fillRect(2, 14, 380, 385);
    tint(colours::frame);
    fillRect(303, 14, 2, 387);
    tint(colours::positionMark);
    fillRect(305, 14, 77, 12);
    drawPanelTexts();
    drawCursorBarAndBlock();
    drawTextCursor();
    drawPatternGrid();
    drawButtonImages();
}

void c_SoundEngine::drawCursorBarAndBlock()
{
    if (transportState == stateEditing) {
        tint(colours::cursorBar);
        fillRect(0, static_cast<float>(cursorRow * 12 + 2), 303, 12);
    }
    if (blockState == 1 && blockStart < cursorRow) {
        constexpr float channelX[] = {33, 99, 165, 231};
        tint(colours::block);
        fillRect(channelX[cursorChannel() - 1], static_cast<float>(blockStart * 12 + 14), 72,
                 static_cast<float>((cursorRow - blockStart) * 12));
    }
}

// 32 rows from the current view row, and 32 entries of the position list
// from the current position.
void c_SoundEngine::drawPatternGrid()
{
    String row;
    for (int c = 0; c < rowsPerPattern; ++c) {
        float y = static_cast<float>(12 + 12 * c);
        int n = viewBase() + c;
        int shownRow = n % rowsPerPattern;
        row = byteHex(shownRow) + U"  ";
        for (int channel = 0; channel < channelCount; ++channel) {
            if (channel > 0) row += U' ';
            row += noteCellText(patternColumns[channel], n, patternColumns[12 + channel]);
            row += cellOrBlank(patternColumns[4 + channel], n, U'0');
            row += cellOrBlank(patternColumns[8 + channel], n, U'0');
        }
        tint(shownRow % 4 == 0 ? colours::beat : colours::text);
        drawString(row, 0, y);
        int position = currentPosition + c;
        if (position >= positionCount) continue;  // nothing lies past the last position
        tint(colours::text);
        drawString(U" " + byteHex(position) + U"  " + byteHex(positions[position]), 297, y);
    }
}
