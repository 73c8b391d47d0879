#include "graphics/held_pixels.h"

namespace {

bool covers(const PictureRect& outer, const PictureRect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

} // namespace

// A replaced part lends its buffer to the new one: the scopes, held again
// every frame at the same places, allocate nothing once they run.
void HeldPixels::hold(const std::vector<int>& pixels, const PictureRect& part)
{
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
    parts_.push_back({part, std::move(buffer), false});
}

void HeldPixels::markShown()
{
    for (HeldPart& held : parts_) held.shown = true;
}
