// The GLFW host's side of the window scale: what the monitor offers, and
// resizing the open window.
#include "host/glfw_game.h"

#include "host/window_scale.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace {

// The largest scale whose window fits the primary monitor's work area.
int largestScaleOnMonitor(const BBWindowPicture& picture)
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (!monitor) return minWindowScale;
    int x = 0, y = 0, width = 0, height = 0;
    glfwGetMonitorWorkarea(monitor, &x, &y, &width, &height);
    return largestFittingScale(width, height, picture.width, picture.height);
}

float monitorContentScale()
{
    float xScale = 1, yScale = 1;
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) glfwGetMonitorContentScale(monitor, &xScale, &yScale);
    return std::min(xScale, yScale);
}

} // namespace

int BBGlfwGame::initialWindowScale() const
{
    ScaleChoice choice;
    choice.requested = requestedWindowScale();
    if (choice.requested) return chooseWindowScale(choice);
    choice.remembered = rememberedWindowScale();
    choice.contentScale = monitorContentScale();
    choice.largestFitting = largestScaleOnMonitor(picture_);
    return chooseWindowScale(choice);
}

// Places the window in the middle of the desktop, as it opens.
void BBGlfwGame::centreWindow(int width, int height)
{
    glfwSetWindowPos(window_, (desktopMode_.width - width) / 2, (desktopMode_.height - height) / 2);
}

void BBGlfwGame::setWindowScale(int scale)
{
    // Growing stops where the window would no longer fit the screen.
    if (scale > scale_) scale = std::min(scale, largestScaleOnMonitor(picture_));
    scale = std::clamp(scale, minWindowScale, maxWindowScale);
    if (scale == scale_ || !window_) return;
    scale_ = scale;
    int width = windowWidth_ * scale, height = windowHeight_ * scale;
    glfwSetWindowSize(window_, width, height);
    centreWindow(width, height);
}
