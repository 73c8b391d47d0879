// The font images: every glyph side by side in one row of equal cells.
#pragma once

#include "glyph_art.h"
#include "rgba_image.h"

// White glyphs on a clear background, each in a cell with `border` clear
// pixels round it: 0 for the plain strip, 1 for the padded one.
RgbaImage fontStrip(const GlyphSet& glyphs, int border);
