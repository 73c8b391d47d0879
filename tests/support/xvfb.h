// A private X server for one test program, so that tests running side by
// side never share a display, a focus or a picture.
#pragma once

#include <string>

// Starts Xvfb (1024 x 768 x 24 unless the first call names another screen,
// such as "2048x1536x24") on a free display the first time it is called, sets
// DISPLAY to it and returns it; the server ends with the program.
const std::string& ensureXvfb(const std::string& screen = "1024x768x24");
