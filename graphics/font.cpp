#include "graphics/font.h"

#include "graphics/graphics_context.h"
#include "graphics/image.h"
#include "graphics/renderer.h"

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

// The page image a glyph is cut from, or null when its slot is empty.
const c_Image* pageOf(const c_Font& font, const c_Glyph& glyph)
{
    if (glyph.page < 0 || glyph.page >= static_cast<int>(font.pages.size())) return nullptr;
    const c_Image* page = font.pages[static_cast<size_t>(glyph.page)].get();
    return page && page->surface && !page->frames.empty() ? page : nullptr;
}

// Draws the glyphs from a pen position in whole units. A glyph whose page is
// missing still advances the pen, so the rest of the line keeps its place.
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

} // namespace

void drawString(const String& text, float x, float y, float alignX, float alignY)
{
    const c_Font* font = drawState.currentFont.get();
    gxtkGraphics* renderer = drawingRenderer();
    if (!font || !renderer) return;
    const int penX = static_cast<int>(x - textAdvance(*font, text) * alignX);
    const int penY = static_cast<int>(y - font->lineHeight * alignY);
    drawGlyphs(*renderer, *font, text, penX, penY);
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
