// The program's icon for the desktop: a small tracker screen (a framed
// pattern grid with the cursor bar across it), drawn at any size.
#pragma once

#include "rgba_image.h"

#include <array>

// The sizes the desktop's icon theme has folders for.
constexpr std::array<int, 8> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The sizes the window offers the window manager, as data/icon<size>.png.
constexpr std::array<int, 5> kWindowIconSizes = {16, 32, 48, 64, 128};

RgbaImage drawAppIcon(int size);
