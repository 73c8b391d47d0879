#include "host/window_region_copy.h"

#include <GLFW/glfw3.h>

void WindowRegionCopy::attach()
{
    detach();
    if (!glfwGetCurrentContext() || !glfwExtensionSupported("GLX_MESA_copy_sub_buffer")) return;
    // Looked up through GLFW, so that the host needs neither GLX headers nor libGLX at link time.
    using DisplayFunction = void* (*)();
    using DrawableFunction = unsigned long (*)();
    auto currentDisplay = reinterpret_cast<DisplayFunction>(glfwGetProcAddress("glXGetCurrentDisplay"));
    auto currentDrawable = reinterpret_cast<DrawableFunction>(glfwGetProcAddress("glXGetCurrentDrawable"));
    auto copy = reinterpret_cast<CopyFunction>(glfwGetProcAddress("glXCopySubBufferMESA"));
    if (!currentDisplay || !currentDrawable || !copy) return;
    display_ = currentDisplay();
    drawable_ = currentDrawable();
    if (display_ && drawable_) copy_ = copy;
}

bool WindowRegionCopy::copy(int x, int y, int width, int height) const
{
    if (!copy_) return false;
    if (width > 0 && height > 0) copy_(display_, drawable_, x, y, width, height);
    return true;
}
