// The channel scopes' boxes, drawn on the CPU and written straight into the
// window's picture (or, where the renderer cannot, shown from one image with
// a quad per box). A trace drawn as some sixty one-unit rectangles costs a
// software GL driver far more in triangle set-up than the two thousand
// pixels of its box, and the scopes change every frame while a song plays.
#pragma once

#include "app/playing/channel_scopes.h"
#include "app/screen/screen_colours.h"
#include "app/screen/screen_layout.h"

#include "song/song_model.h"

#include <array>
#include <memory>
#include <vector>

class c_Image;

class ScopeImage {
public:
    // Draws the channel's scope box (layout::scopeBox) in the background
    // colour with the trace across its middle in the line colour: one unit a
    // column, from its lowest to its highest value and on to where the next
    // column starts, so that the line stays joined. Unless whole, only the
    // columns whose line moved are painted again and only the rows they
    // touch are written: the screen still shows the rest.
    void draw(int channel, const ScopeTrace& trace, const Colour& background, const Colour& line, bool whole = true);

private:
    // A channel's box as last painted, and what it was painted with.
    struct Box {
        std::vector<int> pixels;                    // 0xAARRGGBB, top row first
        std::array<int, scopeColumns> top {}, bottom {};  // each column's line, in rows of the box
        int background = 0, ink = 0;
        bool written = false;  // the window shows it, bar the rows painted since
    };

    void paint(Box& box, const ScreenRect& place, const ScopeTrace& trace, bool whole, int& firstRow, int& lastRow);
    bool writeRows(Box& box, int x, int y, int firstRow, int lastRow);

    std::shared_ptr<c_Image> image_;  // the four boxes one above another, where pixels cannot be written
    std::array<Box, channelCount> boxes_;
    std::vector<int> rows_;  // the rows of a box to write
};
