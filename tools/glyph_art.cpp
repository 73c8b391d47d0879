#include "glyph_art.h"

#include "art_reader.h"

#include <sstream>

namespace {

// The code named by a "char <code> ..." header line.
int headerCode(ArtReader& in, const std::string& line)
{
    std::istringstream words(line);
    std::string keyword;
    int code = 0;
    if (!(words >> keyword >> code) || keyword != "char") in.fail("expected 'char <code>'");
    if (code < kFirstGlyphCode || code >= kFirstGlyphCode + kGlyphCount)
        in.fail("code " + std::to_string(code) + " is outside the font");
    return code;
}

GlyphBitmap readBitmap(ArtReader& in)
{
    GlyphBitmap bitmap{};
    for (auto& pixels : bitmap) {
        std::string row = in.row(kGlyphWidth, "#.");
        for (int x = 0; x < kGlyphWidth; ++x) pixels[x] = row[x] == '#';
    }
    return bitmap;
}

} // namespace

GlyphSet readGlyphArt(const std::string& path)
{
    ArtReader in(path);
    GlyphSet glyphs{};
    std::array<bool, kGlyphCount> drawn{};
    std::string line;
    while (in.next(line)) {
        int index = headerCode(in, line) - kFirstGlyphCode;
        if (drawn[index]) in.fail("code " + std::to_string(index + kFirstGlyphCode) + " is drawn twice");
        glyphs[index] = readBitmap(in);
        drawn[index] = true;
    }
    for (int index = 0; index < kGlyphCount; ++index)
        if (!drawn[index]) throw ArtError(path + ": code " + std::to_string(index + kFirstGlyphCode) + " is not drawn");
    return glyphs;
}
