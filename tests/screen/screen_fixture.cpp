#include "tests/screen/screen_fixture.h"

#include "graphics/renderer.h"
#include "framework/app.h"

#include <algorithm>

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

const Picture& ScreenFixture::shownPicture()
{
    gxtkGraphics& renderer = *gameDelegate()->renderer;
    shown_.width = renderer.viewWidth();
    shown_.height = renderer.viewHeight();
    grabbed_.resize(static_cast<size_t>(shown_.width) * shown_.height);
    renderer.grabScreenPixels(grabbed_, 0, 0, shown_.width, shown_.height, 0, shown_.width);
    shown_.pixels.resize(grabbed_.size());
    std::transform(grabbed_.begin(), grabbed_.end(), shown_.pixels.begin(),
                   [](int pixel) { return static_cast<uint32_t>(pixel) & 0xFFFFFF; });
    return shown_;
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
