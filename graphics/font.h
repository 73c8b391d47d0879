// STUB: bitmap fonts (to be completed).
#pragma once

#include <memory>

class c_Font;

// Makes a font current; null selects the default font.
void selectFont(std::shared_ptr<c_Font> font);
