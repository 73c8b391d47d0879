#include "app/screen/scope_image.h"

#include "app/screen/colour_pixels.h"
#include "app/screen/screen_layout.h"
#include "graphics/drawing.h"
#include "graphics/graphics_context.h"
#include "graphics/image.h"
#include "graphics/renderer.h"
#include "graphics/surface.h"
#include "song/song_model.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int boxWidth = static_cast<int>(layout::scopeWidth);
constexpr int boxHeight = static_cast<int>(layout::scopeHeight);
static_assert(boxWidth == layout::scopeWidth && boxHeight == layout::scopeHeight, "a scope box is whole pixels");

std::shared_ptr<c_Image> blankImage(int width, int height)
{
    auto surface = std::make_shared<gxtkSurface>();
    surface->setPixels(nullptr, width, height, 4);
    auto image = std::make_shared<c_Image>();
    image->initialize(std::move(surface), width, height, {c_Frame {}}, 0);
    return image;
}

} // namespace

void ScopeImage::draw(int channel, const ScopeTrace& trace, const Colour& background, const Colour& line, bool whole)
{
    Box& box = boxes_[static_cast<size_t>(channel)];
    int ink = opaqueArgb(line), paper = opaqueArgb(background);
    whole = whole || !box.written || ink != box.ink || paper != box.background;
    box.ink = ink;
    box.background = paper;
    ScreenRect place = layout::scopeBox(channel);
    int firstRow = boxHeight, lastRow = -1;
    paint(box, place, trace, whole, firstRow, lastRow);
    auto x = static_cast<int>(place.x), y = static_cast<int>(place.y);
    if (writeRows(box, x, y, firstRow, lastRow)) return;
    if (!image_) image_ = blankImage(boxWidth, boxHeight * channelCount);
    int bandTop = channel * boxHeight;
    image_->surface->storeArgb(box.pixels, 0, bandTop, boxWidth, boxHeight, 0, boxWidth);
    // The image's own colours, unmodulated.
    setTint(255, 255, 255);
    drawImagePart(image_, place.x, place.y, 0, bandTop, boxWidth, boxHeight);
}

// Rows are worked out in window units, where the box stands, and only then
// made relative to it: the same rounding as drawing the columns there. A
// moved column is cleared where its line was and drawn where it is now; the
// rows between the first and the last it touched are what changed.
void ScopeImage::paint(Box& box, const ScreenRect& place, const ScopeTrace& trace, bool whole, int& firstRow,
                       int& lastRow)
{
    float middle = place.y + place.height / 2;
    float reach = (place.height / 2 - 1) / 2;  // two oscillators at full volume fill the box
    // A value that is not a number would index past the box: it shows as silence.
    auto rowOf = [&](float value) {
        float y = std::isnan(value) ? middle : std::clamp(middle - value * reach, place.y, place.y + place.height - 1);
        return static_cast<int>(std::floor(y) - place.y);
    };
    auto fillColumn = [&box](int column, int top, int bottom, int colour) {
        for (int row = top; row <= bottom; ++row) box.pixels[static_cast<size_t>(row * boxWidth + column)] = colour;
    };
    if (whole) {
        box.pixels.assign(static_cast<size_t>(boxWidth) * boxHeight, box.background);
        firstRow = 0;
        lastRow = boxHeight - 1;
    }
    int left = (boxWidth - scopeColumns) / 2;
    for (int column = 0; column < scopeColumns; ++column) {
        float low = trace.low[column], high = trace.high[column];
        if (column + 1 < scopeColumns) {
            low = std::min(low, trace.low[column + 1]);
            high = std::max(high, trace.high[column + 1]);
        }
        int top = rowOf(high), bottom = rowOf(low);
        auto at = static_cast<size_t>(column);
        if (!whole) {
            if (top == box.top[at] && bottom == box.bottom[at]) continue;
            fillColumn(left + column, box.top[at], box.bottom[at], box.background);
            firstRow = std::min({firstRow, top, box.top[at]});
            lastRow = std::max({lastRow, bottom, box.bottom[at]});
        }
        fillColumn(left + column, top, bottom, box.ink);
        box.top[at] = top;
        box.bottom[at] = bottom;
    }
}

bool ScopeImage::writeRows(Box& box, int x, int y, int firstRow, int lastRow)
{
    if (firstRow > lastRow) return true;
    rows_.assign(box.pixels.begin() + static_cast<long>(firstRow) * boxWidth,
                 box.pixels.begin() + static_cast<long>(lastRow + 1) * boxWidth);
    box.written = writeScreenPixels(rows_, x, y + firstRow, boxWidth, lastRow - firstRow + 1);
    return box.written;
}
