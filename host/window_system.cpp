#include "host/window_system.h"

#include <GLFW/glfw3.h>

#include <cstdio>

namespace {

void onGlfwError(int error, const char* description)
{
    std::printf("GLFW Error: err=%i, msg=%s\n", error, description);
    std::fflush(stdout);
}

} // namespace

bool startWindowSystem()
{
    glfwSetErrorCallback(onGlfwError);
    return glfwInit() == GLFW_TRUE;
}

void endWindowSystem() { glfwTerminate(); }
