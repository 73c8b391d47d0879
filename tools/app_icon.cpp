#include "app_icon.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// A rounded rectangle in units of the icon's side (0..1, y down).
struct Shape {
    float left, top, right, bottom, radius;
    Rgba colour;
};

constexpr Rgba kFrame = {86, 60, 106, 255};     // the screen's frame
constexpr Rgba kGrid = {12, 10, 16, 255};       // the grid's black
constexpr Rgba kCursor = {143, 31, 87, 255};    // the caret's pink
constexpr Rgba kCell = {148, 144, 164, 255};    // the text colour
constexpr Rgba kNote = {236, 232, 244, 255};    // a note standing out

constexpr float kColumn0 = 0.19f, kColumnStep = 0.165f, kColumnWidth = 0.125f;
constexpr float kRow0 = 0.215f, kRowStep = 0.118f, kRowHeight = 0.07f;

constexpr float column(int n) { return kColumn0 + n * kColumnStep; }
constexpr float row(int n) { return kRow0 + n * kRowStep; }

constexpr Shape cell(int c, int r, Rgba colour, float width = kColumnWidth)
{
    return {column(c), row(r), column(c) + width, row(r) + kRowHeight, 0.012f, colour};
}

// Painted in order, each over the ones before.
constexpr Shape kShapes[] = {
    {0.03f, 0.03f, 0.97f, 0.97f, 0.2f, kFrame},
    {0.12f, 0.12f, 0.88f, 0.88f, 0.07f, kGrid},
    {0.12f, row(2) - 0.022f, 0.88f, row(2) + kRowHeight + 0.022f, 0.0f, kCursor},
    cell(0, 0, kNote), cell(1, 0, kCell), cell(2, 0, kCell, 0.06f), cell(3, 0, kNote),
    cell(0, 1, kCell, 0.06f), cell(1, 1, kNote), cell(2, 1, kCell), cell(3, 1, kCell, 0.06f),
    cell(0, 2, kNote), cell(1, 2, kNote), cell(2, 2, kNote), cell(3, 2, kNote),
    cell(0, 3, kCell), cell(1, 3, kCell, 0.06f), cell(2, 3, kNote), cell(3, 3, kCell),
    cell(0, 4, kCell, 0.06f), cell(1, 4, kCell), cell(2, 4, kCell, 0.06f), cell(3, 4, kNote),
    cell(0, 5, kNote), cell(1, 5, kCell, 0.06f), cell(2, 5, kCell), cell(3, 5, kCell, 0.06f),
};
static_assert(std::size(kShapes) == 3 + 4 * 6, "three layers, then four channels of six rows");

bool inside(const Shape& shape, float x, float y)
{
    if (x < shape.left || x >= shape.right || y < shape.top || y >= shape.bottom) return false;
    float dx = std::max({shape.left + shape.radius - x, 0.0f, x - (shape.right - shape.radius)});
    float dy = std::max({shape.top + shape.radius - y, 0.0f, y - (shape.bottom - shape.radius)});
    return dx * dx + dy * dy <= shape.radius * shape.radius;
}

constexpr int kSamples = 4;  // per pixel and axis: smooth edges at every size

// The colour of one pixel: each shape blended over the ones below by the
// share of the pixel's samples it covers.
Rgba pixel(int x, int y, int size)
{
    float colour[4] = {0, 0, 0, 0};  // premultiplied
    for (const Shape& shape : kShapes) {
        int covered = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
            for (int sx = 0; sx < kSamples; ++sx)
                covered += inside(shape, (x + (sx + 0.5f) / kSamples) / size, (y + (sy + 0.5f) / kSamples) / size);
        }
        float alpha = static_cast<float>(covered) / (kSamples * kSamples);
        for (int i = 0; i < 3; ++i) colour[i] = colour[i] * (1 - alpha) + shape.colour[i] * alpha;
        colour[3] = colour[3] * (1 - alpha) + 255 * alpha;
    }
    Rgba out = kClear;
    if (colour[3] <= 0) return out;
    for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>(std::lround(std::min(255.0f, colour[i] * 255 / colour[3])));
    out[3] = static_cast<uint8_t>(std::lround(colour[3]));
    return out;
}

} // namespace

RgbaImage drawAppIcon(int size)
{
    RgbaImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) image.at(x, y) = pixel(x, y, size);
    }
    return image;
}
