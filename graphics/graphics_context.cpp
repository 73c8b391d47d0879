#include "graphics/graphics_context.h"

#include "graphics/renderer.h"

#include <algorithm>
#include <cmath>

c_GraphicsContext drawState;
gxtkGraphics* hostRenderer = nullptr;
gxtkGraphics* currentRenderer = nullptr;

namespace {

int displayWidthNow = 0;
int displayHeightNow = 0;

constexpr float radiansPerDegree = 0.017453292f;

bool isIdentity(const c_GraphicsContext& s)
{
    return s.xAxisX == 1 && s.xAxisY == 0 && s.yAxisX == 0 && s.yAxisY == 1 && s.originX == 0 && s.originY == 0;
}

} // namespace

void createDrawState() { drawState = c_GraphicsContext {}; }

void refreshDisplaySize(int width, int height)
{
    displayWidthNow = width;
    displayHeightNow = height;
}

int displayWidth() { return displayWidthNow; }
int displayHeight() { return displayHeightNow; }

void resetDrawState()
{
    currentRenderer = hostRenderer;
    drawState.matrixDepth = 0;
    setTransform(1, 0, 0, 1, 0, 0);
    setTint(255.0f, 255.0f, 255.0f);
    setOpacity(1);
    setBlendMode(0);
    setClipRect(0, 0, static_cast<float>(displayWidthNow), static_cast<float>(displayHeightNow));
}

// ---- Transforms ----

void setTransform(float xAxisX, float xAxisY, float yAxisX, float yAxisY, float originX, float originY)
{
    c_GraphicsContext& s = drawState;
    s.xAxisX = xAxisX;
    s.xAxisY = xAxisY;
    s.yAxisX = yAxisX;
    s.yAxisY = yAxisY;
    s.originX = originX;
    s.originY = originY;
    s.transformed = isIdentity(s) ? 0 : 1;
    s.matrixDirty = true;
}

void setTransform(const std::array<float, 6>& e) { setTransform(e[0], e[1], e[2], e[3], e[4], e[5]); }

void multiplyTransform(float A, float B, float C, float D, float E, float F)
{
    const c_GraphicsContext& s = drawState;
    const float a = s.xAxisX, b = s.xAxisY, c = s.yAxisX, d = s.yAxisY, e = s.originX, f = s.originY;
    setTransform(a * A + c * B, b * A + d * B, a * C + c * D, b * C + d * D, a * E + c * F + e, b * E + d * F + f);
}

void translateBy(float x, float y) { multiplyTransform(1, 0, 0, 1, x, y); }

void rotateBy(float degrees)
{
    const float a = degrees * radiansPerDegree;
    multiplyTransform(std::cos(a), -std::sin(a), std::sin(a), std::cos(a), 0, 0);
}

void scaleBy(float x, float y) { multiplyTransform(x, 0, 0, y, 0, 0); }

void pushTransform()
{
    c_GraphicsContext& s = drawState;
    const size_t depth = static_cast<size_t>(s.matrixDepth);
    if (depth + 6 > s.matrixStack.size()) s.matrixStack.resize(std::max<size_t>(s.matrixStack.size() * 2, 6));
    const std::array<float, 6> current {s.xAxisX, s.xAxisY, s.yAxisX, s.yAxisY, s.originX, s.originY};
    std::copy(current.begin(), current.end(), s.matrixStack.begin() + static_cast<long>(depth));
    s.matrixDepth += 6;
}

void popTransform()
{
    c_GraphicsContext& s = drawState;
    if (s.matrixDepth < 6) return;
    s.matrixDepth -= 6;
    const float* saved = s.matrixStack.data() + s.matrixDepth;
    setTransform(saved[0], saved[1], saved[2], saved[3], saved[4], saved[5]);
}

void syncTransform()
{
    if (!currentRenderer) return;
    const c_GraphicsContext& s = drawState;
    currentRenderer->setTransform(s.xAxisX, s.xAxisY, s.yAxisX, s.yAxisY, s.originX, s.originY);
    drawState.matrixDirty = false;
}

gxtkGraphics* drawingRenderer()
{
    if (currentRenderer && drawState.matrixDirty) syncTransform();
    return currentRenderer;
}

// ---- Colour and GL-held state ----

void setTint(float r, float g, float b)
{
    drawState.tintR = r;
    drawState.tintG = g;
    drawState.tintB = b;
    if (currentRenderer) currentRenderer->setTint(r, g, b);
}

void setTint(int rgb)
{
    setTint(static_cast<float>((rgb >> 16) & 255), static_cast<float>((rgb >> 8) & 255),
            static_cast<float>(rgb & 255));
}

void setTint(const c_Color& colour)
{
    setTint(static_cast<float>(colour.r), static_cast<float>(colour.g), static_cast<float>(colour.b));
    if (currentRenderer) currentRenderer->setOpacity(drawState.opacity);
}

void setOpacity(float alpha)
{
    drawState.opacity = alpha;
    if (currentRenderer) currentRenderer->setOpacity(alpha);
}

void setBlendMode(int mode)
{
    drawState.blendMode = mode;
    if (currentRenderer) currentRenderer->setBlendMode(mode);
}

void setClipRect(float x, float y, float w, float h)
{
    drawState.clipX = x;
    drawState.clipY = y;
    drawState.clipW = w;
    drawState.clipH = h;
    if (currentRenderer)
        currentRenderer->setClipRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                                     static_cast<int>(h));
}
