// Button faces drawn as text: a palette of one-character colour keys, then
// named pictures made of those keys.
#pragma once

#include "rgba_image.h"

#include <map>
#include <string>

// The pictures by name; throws ArtError naming the line of any fault.
std::map<std::string, RgbaImage> readButtonArt(const std::string& path);
