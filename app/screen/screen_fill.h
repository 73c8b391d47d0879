// Filling the screen's rectangles, for the files that draw the screen (the
// layout itself stays free of the drawing, so that click tests can read it).
#pragma once

#include "app/screen/screen_colours.h"
#include "app/screen/screen_layout.h"
#include "graphics/drawing.h"
#include "graphics/graphics_context.h"

// Fills the rectangle in the drawing tint.
inline void fillRect(const ScreenRect& rect) { fillRect(rect.x, rect.y, rect.width, rect.height); }

// Sets the drawing tint to a screen colour.
inline void tint(const Colour& colour) { setTint(colour.r, colour.g, colour.b); }
