#include "tests/screen/screen_fixture.h"

#include "graphics/renderer.h"
#include "framework/app.h"

void ScreenFixture::SetUp()
{
    TrackerFixture::SetUp();
    // These tests look at the screen as described, every part drawn at every
    // chance; the change-tracking test holds the tracked screen to it.
    engine->painter.trackChanges(false);
    ASSERT_TRUE(reader.loaded()) << "the generated zukafont.png is missing";
}

Picture ScreenFixture::repaint()
{
    engine->repaints.requestRepaint();
    game->stepRender();
    return picture();
}

Picture ScreenFixture::meterFrame()
{
    engine->repaints.restart();
    game->stepRender();
    return picture();
}

Picture ScreenFixture::picture()
{
    gxtkGraphics& renderer = *gameDelegate()->renderer;
    Picture shown;
    shown.width = renderer.viewWidth();
    shown.height = renderer.viewHeight();
    grabbed_.resize(static_cast<size_t>(shown.width) * shown.height);
    renderer.grabScreenPixels(grabbed_, 0, 0, shown.width, shown.height, 0, shown.width);
    shown.pixels.assign(grabbed_.begin(), grabbed_.end());
    for (uint32_t& pixel : shown.pixels) pixel &= 0xFFFFFF;
    return shown;
}

void ScreenFixture::putNote(int channel, int index, char32_t note, char32_t octave, char32_t volume,
                            char32_t instrument)
{
    engine->song.patternColumns[channel][index] = note;
    engine->song.patternColumns[4 + channel][index] = volume;
    engine->song.patternColumns[8 + channel][index] = instrument;
    engine->song.patternColumns[12 + channel][index] = octave;
}

int pixelsNotOf(const Picture& shown, int x, int y, int w, int h, uint32_t colour)
{
    int count = 0;
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column) count += shown.at(column, row) != colour;
    return count;
}

int differingPixels(const Picture& a, const Picture& b, int x, int y, int w, int h)
{
    int count = 0;
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column) count += a.at(column, row) != b.at(column, row);
    return count;
}
