// Reading an image file into pixels, for surfaces and the window's icon.
#pragma once

#include "base/text.h"
#include "host/decoded_media.h"

// Opens the path (a scheme path or a real one) and decodes the image as stored: 1 to 4
// components of 8 bits, rows top-down. No data when the file cannot be
// opened or decoded, or when its pixels would take over 64 MiB as RGBA.
ImagePixels loadImagePixels(const String& path);
