// Program entry: starts the windowing library, makes the host object, lets
// the caller construct the application, and runs the main loop.
#pragma once

#include "host/glfw_game.h"

#include <functional>

// Never returns: every way the program ends goes through endProcess.
// constructApp creates the drawing state and the
// application object, which installs its delegate; the window opens with the
// application's title and picture size.
int runProgram(int argc, char** argv, const BBWindowPicture& picture, const std::function<void()>& constructApp);
