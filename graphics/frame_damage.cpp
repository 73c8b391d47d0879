#include "graphics/frame_damage.h"

#include <algorithm>

namespace {

PictureRect intersection(const PictureRect& a, const PictureRect& b)
{
    int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    int right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

// Each part is a copy of its own, a request to the window system: parts a
// few units apart (the four scope boxes) are cheaper shown as one.
constexpr int nearby = 4;

bool nearEachOther(const PictureRect& a, const PictureRect& b)
{
    return a.x <= b.x + b.width + nearby && b.x <= a.x + a.width + nearby && a.y <= b.y + b.height + nearby &&
           b.y <= a.y + a.height + nearby;
}

} // namespace

PictureRect boundingBox(const PictureRect& a, const PictureRect& b)
{
    int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

void FrameDamage::add(PictureRect rect, const PictureRect& bounds)
{
    rect = intersection(rect, bounds);
    if (rect.area() == 0) return;
    // A merge can reach rectangles the new one did not touch: go on until none does.
    for (auto it = rects_.begin(); it != rects_.end();) {
        if (nearEachOther(*it, rect)) {
            rect = boundingBox(*it, rect);
            rects_.erase(it);
            it = rects_.begin();
        } else {
            ++it;
        }
    }
    rects_.push_back(rect);
    if (static_cast<int>(rects_.size()) <= maxRects) return;
    PictureRect all = rects_.front();
    for (const PictureRect& part : rects_) all = boundingBox(all, part);
    rects_.assign(1, all);
}

long FrameDamage::area() const
{
    long total = 0;
    for (const PictureRect& rect : rects_) total += rect.area();
    return total;
}
