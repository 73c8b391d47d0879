// The font's glyphs as drawn in the art file: one block of '#' (ink) and '.'
// rows per character code 32..127.
#pragma once

#include <array>
#include <string>

constexpr int kGlyphWidth = 11;   // the advance the screen layout is built on
constexpr int kGlyphHeight = 12;  // one text line
constexpr int kFirstGlyphCode = 32;
constexpr int kGlyphCount = 96;

using GlyphBitmap = std::array<std::array<bool, kGlyphWidth>, kGlyphHeight>;
using GlyphSet = std::array<GlyphBitmap, kGlyphCount>;  // index = code - 32

// Reads every glyph; throws ArtError naming the line of any fault, or the
// first code the file does not draw.
GlyphSet readGlyphArt(const std::string& path);
