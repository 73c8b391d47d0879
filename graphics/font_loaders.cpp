// Image fonts: glyphs cut from a one-row strip or a grid of equal cells.
#include "graphics/font.h"

#include "graphics/image.h"

namespace {

// A font of one page whose glyph i sits at the given cell of a grid.
struct CellLayout {
    int columns, cellWidth, cellHeight, insetX, insetY, glyphWidth, glyphHeight;
};

std::shared_ptr<c_Font> cutFont(std::shared_ptr<c_Image> page, const CellLayout& cells, int first, int count)
{
    auto font = std::make_shared<c_Font>();
    for (int i = 0; i < count; ++i) {
        c_Glyph glyph;
        glyph.code = first + i;
        glyph.srcX = cells.insetX + (i % cells.columns) * cells.cellWidth;
        glyph.srcY = cells.insetY + (i / cells.columns) * cells.cellHeight;
        glyph.srcW = cells.glyphWidth;
        glyph.srcH = cells.glyphHeight;
        glyph.advance = cells.glyphWidth;
        font->glyphs.emplace(glyph.code, glyph);
    }
    font->pages = {std::move(page)};
    font->pageCount = 1;
    font->firstChar = first;
    font->lineHeight = static_cast<float>(cells.glyphHeight);
    return font;
}

} // namespace

std::shared_ptr<c_Font> loadAsciiStripFont(const String& path, bool padded)
{
    return loadStripFont(path, 32, 96, padded);
}

std::shared_ptr<c_Font> loadStripFont(const String& path, int first, int count, bool padded)
{
    if (count < 1) return nullptr;
    std::shared_ptr<c_Image> page = loadImageSingle(path, defaultImageFlags);
    if (!page) return nullptr;
    const int width = page->frameWidth, height = page->frameHeight;
    const int cell = width / count;
    if (cell < 1) return nullptr;
    const int inset = padded ? 1 : 0;
    const CellLayout cells {width / cell, cell, height, inset, inset, cell - 2 * inset, height - 2 * inset};
    return cutFont(std::move(page), cells, first, count);
}

std::shared_ptr<c_Font> loadGridFont(const String& path, int cellWidth, int cellHeight, int offsetX, int offsetY,
                                     int glyphWidth, int glyphHeight, int first, int count)
{
    if (cellWidth < 1) return nullptr;
    std::shared_ptr<c_Image> page = loadImageSingle(path, defaultImageFlags);
    if (!page) return nullptr;
    const int columns = page->frameWidth / cellWidth;
    if (columns < 1) return nullptr;
    const CellLayout cells {columns, cellWidth, cellHeight, offsetX, offsetY, glyphWidth, glyphHeight};
    return cutFont(std::move(page), cells, first, count);
}
