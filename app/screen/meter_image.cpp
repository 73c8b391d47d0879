#include "app/screen/meter_image.h"

#include "app/screen/colour_pixels.h"
#include "app/screen/screen_layout.h"
#include "graphics/drawing.h"

#include <algorithm>

namespace {

constexpr int boxWidth = static_cast<int>(layout::meterWidth);
constexpr int boxHeight = static_cast<int>(layout::meterHeight);
constexpr int boxTop = static_cast<int>(layout::meterBase - layout::meterHeight);
static_assert(boxWidth == layout::meterWidth && boxHeight == layout::meterHeight &&
                  boxTop == layout::meterBase - layout::meterHeight && layout::meterLeft == int(layout::meterLeft) &&
                  layout::meterSpacing == int(layout::meterSpacing),
              "a meter box is whole pixels");

} // namespace

// After the frame's drawing, two more rectangles cost the GL driver less
// than a copy of pixels into the picture (and the copy keeps a buffer).
bool MeterImage::draw(int channel, int level, const Colour& back, const Colour& bar)
{
    if (!screenPixelsHeld()) return false;
    int height = std::clamp(level, 0, boxHeight);
    box_.assign(static_cast<size_t>(boxWidth) * boxHeight, opaqueArgb(back));
    std::fill(box_.end() - static_cast<long>(height) * boxWidth, box_.end(), opaqueArgb(bar));
    int x = static_cast<int>(layout::meterLeft + layout::meterSpacing * static_cast<float>(channel));
    return writeScreenPixels(box_, x, boxTop, boxWidth, boxHeight);
}
