#include "graphics/held_pixels.h"

#include <algorithm>

namespace {

bool covers(const PictureRect& outer, const PictureRect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

bool overlap(const PictureRect& a, const PictureRect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

void copyInto(HeldPart& held, const std::vector<int>& pixels, const PictureRect& part)
{
    for (int row = 0; row < part.height; ++row) {
        auto from = pixels.begin() + long(row) * part.width;
        long to = long(part.y - held.part.y + row) * held.part.width + (part.x - held.part.x);
        std::copy(from, from + part.width, held.pixels.begin() + to);
    }
    held.unshown = held.unshown.area() > 0 ? boundingBox(held.unshown, part) : part;
}

} // namespace

// A scope writes the rows of its box that changed, frame after frame: they
// land in the part that holds its box, rather than piling up parts that GL
// would have to take. Only the latest part they overlap may take them, or
// they would end up under a later one. A replaced part lends its buffer to
// the new one, so that whole boxes held again allocate nothing either.
void HeldPixels::hold(const std::vector<int>& pixels, const PictureRect& part)
{
    auto latest = std::find_if(parts_.rbegin(), parts_.rend(),
                               [&](const HeldPart& held) { return overlap(held.part, part); });
    if (latest != parts_.rend() && covers(latest->part, part)) {
        copyInto(*latest, pixels, part);
        return;
    }
    std::vector<uint32_t> buffer;
    for (auto held = parts_.begin(); held != parts_.end();) {
        if (!covers(part, held->part)) {
            ++held;
            continue;
        }
        if (held->pixels.capacity() > buffer.capacity()) buffer.swap(held->pixels);
        held = parts_.erase(held);
    }
    buffer.assign(pixels.begin(), pixels.begin() + part.area());
    if (parts_.capacity() < maxParts) parts_.reserve(maxParts);
    parts_.push_back({part, std::move(buffer), part});
}

void HeldPixels::markShown()
{
    for (HeldPart& held : parts_) held.unshown = {};
}
