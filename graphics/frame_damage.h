// The parts of the picture a frame drew on, as a few rectangles: what the
// window needs to be shown again when only a little changed.
#pragma once

#include <vector>

// A rectangle of the picture in its units, y down.
struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
    long area() const { return static_cast<long>(width) * height; }
};

PictureRect boundingBox(const PictureRect& a, const PictureRect& b);

class FrameDamage {
public:
    // More rectangles than this are not worth keeping apart: they become their bounding box.
    static constexpr int maxRects = 8;

    void clear() { rects_.clear(); }
    // Adds the rectangle, cut to the bounds. Rectangles that overlap, touch
    // or stand a few units apart merge into their bounding box.
    void add(PictureRect rect, const PictureRect& bounds);
    const std::vector<PictureRect>& rects() const { return rects_; }
    long area() const;

private:
    std::vector<PictureRect> rects_;
};
