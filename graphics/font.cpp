#include "graphics/font.h"

#include "graphics/graphics_context.h"
#include "graphics/image.h"
#include "graphics/renderer.h"

#include <cstdint>
#include <limits>

const c_Glyph* c_Font::glyph(int code) const
{
    auto found = glyphs.find(code);
    return found == glyphs.end() ? nullptr : &found->second;
}

void selectFont(std::shared_ptr<c_Font> font)
{
    if (font) {
        drawState.currentFont = std::move(font);
        return;
    }
    if (!drawState.defaultFont) drawState.defaultFont = loadAsciiStripFont(defaultFontFile, true);
    drawState.currentFont = drawState.defaultFont;
}

float textAdvance(const c_Font& font, const String& text)
{
    float advance = 0;
    for (char32_t c : text) {
        if (const c_Glyph* glyph = font.glyph(static_cast<int>(c))) advance += static_cast<float>(glyph->advance);
    }
    return advance;
}

namespace {

// Whether the glyph's rectangle, placed at the page's frame 0, lies inside the
// page's pixels. In 64 bits: a described glyph's numbers can be anything an int holds.
bool glyphFitsPage(const c_Glyph& glyph, const c_Image& page)
{
    const c_Frame& frame = page.frames[0];
    const int64_t left = int64_t {glyph.srcX} + frame.left, top = int64_t {glyph.srcY} + frame.top;
    return left >= 0 && top >= 0 && glyph.srcW >= 0 && glyph.srcH >= 0 &&
           left + glyph.srcW <= page.surface->pixelWidth() && top + glyph.srcH <= page.surface->pixelHeight();
}

// The page image a glyph is cut from, or null when its slot is empty or the
// glyph does not fit it.
const c_Image* pageOf(const c_Font& font, const c_Glyph& glyph)
{
    if (glyph.page < 0 || glyph.page >= static_cast<int>(font.pages.size())) return nullptr;
    const c_Image* page = font.pages[static_cast<size_t>(glyph.page)].get();
    if (!page || !page->surface || page->frames.empty()) return nullptr;
    return glyphFitsPage(glyph, *page) ? page : nullptr;
}

// Draws the glyphs from a pen position in whole units. A glyph whose page is
// missing, or that does not fit its page, still advances the pen, so the rest
// of the line keeps its place.
void drawGlyphs(gxtkGraphics& renderer, const c_Font& font, const String& text, long long penX, long long penY)
{
    for (char32_t c : text) {
        const c_Glyph* glyph = font.glyph(static_cast<int>(c));
        if (!glyph) continue;
        if (const c_Image* page = pageOf(font, *glyph)) {
            const c_Frame& frame = page->frames[0];
            renderer.blitSurfaceRegion(page->surface, glyph->srcX + frame.left, glyph->srcY + frame.top, glyph->srcW,
                                       glyph->srcH, static_cast<float>(penX + glyph->offsetX) - page->handleX,
                                       static_cast<float>(penY + glyph->offsetY) - page->handleY);
        }
        penX += glyph->advance;
    }
}

// Truncates toward zero as int() does. A described font's advances can add up
// beyond an int; such positions are held at the int's ends.
long long penPosition(float position)
{
    constexpr double lowest = std::numeric_limits<int>::min(), highest = std::numeric_limits<int>::max();
    const double value = position;
    if (!(value > lowest)) return static_cast<long long>(lowest);
    if (!(value < highest)) return static_cast<long long>(highest);
    return static_cast<long long>(value);
}

} // namespace

void drawString(const String& text, float x, float y, float alignX, float alignY)
{
    const c_Font* font = drawState.currentFont.get();
    gxtkGraphics* renderer = drawingRenderer();
    if (!font || !renderer) return;
    drawGlyphs(*renderer, *font, text, penPosition(x - textAdvance(*font, text) * alignX),
               penPosition(y - font->lineHeight * alignY));
}

void drawLines(const std::vector<String>& lines, float x, float y, float alignX, float alignY)
{
    const c_Font* font = drawState.currentFont.get();
    if (!font) return;
    float penY = y - alignY * font->lineHeight * static_cast<float>(lines.size());
    for (const String& line : lines) {
        drawString(line, x, penY, alignX, 0);
        penY += font->lineHeight;
    }
}
