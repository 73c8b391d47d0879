// A level meter worked out on the CPU and written straight into the window's
// picture: a meter falls by two units every frame while a song plays, and
// two rectangles a frame would otherwise wake the GL driver for a few
// hundred pixels.
#pragma once

#include "app/screen/screen_colours.h"

#include <vector>

class MeterImage {
public:
    // Writes the channel's meter box (layout::meters): the empty box in the
    // back colour with the bar of the level's height at its bottom. False,
    // writing nothing, once the frame has drawn or where pixels cannot be
    // written: then draw it.
    bool draw(int channel, int level, const Colour& back, const Colour& bar);

private:
    std::vector<int> box_;  // 0xAARRGGBB, top row first
};
