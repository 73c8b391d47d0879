// A font description and one page image → font, then every glyph drawn: each
// rectangle handed to the renderer must lie inside its page's pixels.
//
// Input layout: the description text, a 0 byte, the bytes of "page.png" (the
// name the seed descriptions give their page).
#include "graphics/font.h"
#include "graphics/graphics_context.h"
#include "graphics/renderer.h"
#include "graphics/surface.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <cstdint>

namespace {

// The real renderer up to the point where a glyph becomes a quad; the quad
// itself is only checked, since no GL context exists here.
class RegionCheckingRenderer : public gxtkGraphics {
public:
    void blitSurfaceRegion(const std::shared_ptr<gxtkSurface>& surface, int srcX, int srcY, int srcW, int srcH,
                           float, float) override
    {
        fuzzCheck(surface != nullptr, "a page surface");
        const int64_t right = int64_t {srcX} + srcW, bottom = int64_t {srcY} + srcH;
        fuzzCheck(srcX >= 0 && srcY >= 0 && srcW >= 0 && srcH >= 0 && right <= surface->pixelWidth() &&
                      bottom <= surface->pixelHeight(),
                  "glyph rectangle inside its page");
    }
};

// Every glyph's code as one text, capped so a huge description stays quick.
String allGlyphs(const c_Font& font)
{
    String text;
    for (const auto& entry : font.glyphs) {
        if (text.size() == 4096) break;
        text += static_cast<char32_t>(static_cast<uint32_t>(entry.first));
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureFuzzHost();
    static RegionCheckingRenderer renderer;
    hostRenderer = &renderer;
    const uint8_t* split = std::find(data, data + size, uint8_t {0});
    const uint8_t* page = split == data + size ? split : split + 1;
    writeFuzzFile("page.png", page, static_cast<size_t>(data + size - page));
    std::string description = writeFuzzFile("font.txt", data, static_cast<size_t>(split - data));

    createDrawState();
    std::shared_ptr<c_Font> font = loadDescribedFont(widen(description));
    selectFont(font);
    currentRenderer = &renderer;
    const String text = allGlyphs(*font);
    (void)textAdvance(*font, text);
    drawString(text, 10, 10, 0.5f, 0.5f);
    drawLines({text, text}, 0, 0, 1, 1);
    currentRenderer = nullptr;
    return 0;
}
