// Program entry: starts the windowing library, makes the host object, lets
// the caller construct the application, and runs the main loop.
#pragma once

#include <functional>

// Never returns: every way the program ends goes through endProcess.
// constructApp creates the drawing state and the
// application object, which installs its delegate.
int runProgram(int argc, char** argv, const std::function<void()>& constructApp);
