// Bitmap fonts: a table of glyphs, each a rectangle of one page image, keyed
// by character code; loading them from images and descriptions; drawing text.
#pragma once

#include "base/text.h"

#include <map>
#include <memory>
#include <vector>

class c_Image;

class c_Glyph {
public:
    int page = 0;
    int code = 0;
    int srcX = 0;  // the rectangle in the page, relative to the page image's frame 0
    int srcY = 0;
    int srcW = 0;
    int srcH = 0;
    int advance = 0;  // how far the pen moves after the glyph
    int offsetX = 0;  // where the rectangle is drawn relative to the pen
    int offsetY = 0;
};

class c_Font {
public:
    // The glyph of a character code, or null.
    const c_Glyph* glyph(int code) const;

    std::vector<std::shared_ptr<c_Image>> pages;
    int pageCount = 0;   // pages the source declared
    int firstChar = -1;  // first code of an image font; -1 for a described font
    float lineHeight = 0;
    std::map<int, c_Glyph> glyphs;
};

// ---- Loading: from a one-row strip, a grid of cells, or a text description
// that names page images and lists every glyph. ----

// A strip of the 96 codes 32 to 127.
std::shared_ptr<c_Font> loadAsciiStripFont(const String& path, bool padded);

// A one-row strip of count equal cells starting at code first. A padded strip
// has a one-unit border round every cell that is not drawn. Null when the
// image cannot be loaded or is narrower than count units.
std::shared_ptr<c_Font> loadStripFont(const String& path, int first, int count, bool padded);

// Glyphs of glyphWidth x glyphHeight at (offsetX, offsetY) inside cells of
// cellWidth x cellHeight, row by row. Null when the image cannot be loaded or
// is narrower than one cell.
std::shared_ptr<c_Font> loadGridFont(const String& path, int cellWidth, int cellHeight, int offsetX, int offsetY,
                                     int glyphWidth, int glyphHeight, int first, int count);

// A font from a description file (path, or path + ".txt"); a missing file
// gives an empty font. Page files are relative to the description's folder.
std::shared_ptr<c_Font> loadDescribedFont(const String& path);

// ---- Text ----

// The default font's image: a padded strip of the 96 codes 32 to 127.
constexpr char32_t defaultFontFile[] = U"zuka_font.png";

// Makes a font current; null selects the default font, loading it on first use.
void selectFont(std::shared_ptr<c_Font> font);

// The sum of the advances of the characters that have a glyph.
float textAdvance(const c_Font& font, const String& text);

// One line with the current font. alignX/alignY are fractions of the text's
// width and of the line height: 0 left/top, 0.5 centred, 1 right/bottom. The
// pen starts at whole units (truncated toward zero); characters without a
// glyph neither draw nor advance.
void drawString(const String& text, float x, float y, float alignX = 0, float alignY = 0);

// Several lines, one line height apart, each aligned on its own.
void drawLines(const std::vector<String>& lines, float x, float y, float alignX = 0, float alignY = 0);
