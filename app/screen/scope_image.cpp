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
    ScreenRect box = layout::scopeBox(channel);
    paint(box, trace, background, line);
    auto x = static_cast<int>(box.x), y = static_cast<int>(box.y);
    if (writeChangedRows(channel, x, y, whole)) return;
    if (!image_) image_ = blankImage(boxWidth, boxHeight * channelCount);
    int bandTop = channel * boxHeight;
    image_->surface->storeArgb(box_, 0, bandTop, boxWidth, boxHeight, 0, boxWidth);
    // The image's own colours, unmodulated.
    setTint(255, 255, 255);
    drawImagePart(image_, box.x, box.y, 0, bandTop, boxWidth, boxHeight);
}

// Rows are worked out in window units, where the box stands, and only then
// made relative to it: the same rounding as drawing the columns there.
void ScopeImage::paint(const ScreenRect& box, const ScopeTrace& trace, const Colour& background, const Colour& line)
{
    box_.assign(static_cast<size_t>(boxWidth) * boxHeight, opaqueArgb(background));
    int ink = opaqueArgb(line);
    float middle = box.y + box.height / 2;
    float reach = (box.height / 2 - 1) / 2;  // two oscillators at full volume fill the box
    // A value that is not a number would index past the box: it shows as silence.
    auto rowOf = [&](float value) {
        float y = std::isnan(value) ? middle : std::clamp(middle - value * reach, box.y, box.y + box.height - 1);
        return static_cast<int>(std::floor(y) - box.y);
    };
    int left = (boxWidth - scopeColumns) / 2;
    for (int column = 0; column < scopeColumns; ++column) {
        float low = trace.low[column], high = trace.high[column];
        if (column + 1 < scopeColumns) {
            low = std::min(low, trace.low[column + 1]);
            high = std::max(high, trace.high[column + 1]);
        }
        for (int row = rowOf(high); row <= rowOf(low); ++row) box_[static_cast<size_t>(row * boxWidth + left + column)] = ink;
    }
}

// A trace mostly moves within a band of rows: the rows above and below it,
// background both times, need not go to the picture and the window again.
bool ScopeImage::writeChangedRows(int channel, int x, int y, bool whole)
{
    std::vector<int>& written = written_[static_cast<size_t>(channel)];
    int first = 0, last = boxHeight - 1;
    if (!whole && written.size() == box_.size()) {
        auto rowDiffers = [&](int row) {
            long from = static_cast<long>(row) * boxWidth;
            return !std::equal(box_.begin() + from, box_.begin() + from + boxWidth, written.begin() + from);
        };
        while (first <= last && !rowDiffers(first)) ++first;
        while (last >= first && !rowDiffers(last)) --last;
        if (first > last) return true;
    }
    rows_.assign(box_.begin() + static_cast<long>(first) * boxWidth, box_.begin() + static_cast<long>(last + 1) * boxWidth);
    bool done = writeScreenPixels(rows_, x, y + first, boxWidth, last - first + 1);
    if (done) written = box_;
    else written.clear();
    return done;
}
