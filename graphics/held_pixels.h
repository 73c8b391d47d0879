// Pixels written into the window's picture while the frame had not yet drawn
// with GL, held in memory until GL next touches the picture. A frame that
// only writes pixels (the channel scopes, frame after frame) is then shown
// from here without the GL driver, which takes only the latest of them, once,
// when it next draws or shows the whole picture.
#pragma once

#include "graphics/frame_damage.h"

#include <cstdint>
#include <vector>

struct HeldPart {
    PictureRect part;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
    PictureRect unshown;           // the part of it not yet put into the window; empty once put
};

class HeldPixels {
public:
    // Past this many parts the caller hands them to GL before holding more.
    static constexpr size_t maxParts = 8;

    // Holds a copy of the part's pixels (as many as the part's area); a part
    // it covers wholly is dropped, since these pixels replace it. Pixels
    // within the latest held part they overlap are copied into it instead.
    void hold(const std::vector<int>& pixels, const PictureRect& part);
    const std::vector<HeldPart>& parts() const { return parts_; }
    bool full() const { return parts_.size() >= maxParts; }
    void markShown();
    void clear() { parts_.clear(); }

private:
    std::vector<HeldPart> parts_;
};
