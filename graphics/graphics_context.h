// The drawing state that survives between drawing calls (transform and its
// stack, tint, opacity, blend mode, clip rectangle, fonts), the renderer the
// drawing functions use, and the operations on that state.
#pragma once

#include <array>
#include <memory>
#include <vector>

class c_Font;
class gxtkGraphics;

// A colour value with integer components.
class c_Color {
public:
    int r = 0;
    int g = 0;
    int b = 0;
};

class c_GraphicsContext {
public:
    // Room for 32 saved transforms before the stack first grows.
    static constexpr int initialStackFloats = 192;

    std::shared_ptr<c_Font> defaultFont;
    std::shared_ptr<c_Font> currentFont;
    int matrixDepth = 0;  // floats in use on matrixStack, 6 per saved transform
    float xAxisX = 1, xAxisY = 0, yAxisX = 0, yAxisY = 1, originX = 0, originY = 0;
    int transformed = 0;
    bool matrixDirty = true;  // not yet handed to the renderer
    float tintR = 255, tintG = 255, tintB = 255;
    float opacity = 1;
    int blendMode = 0;
    float clipX = 0, clipY = 0, clipW = 0, clipH = 0;
    std::vector<float> matrixStack = std::vector<float>(initialStackFloats);
};

// The one drawing state.
extern c_GraphicsContext drawState;
// The renderer the host created, and the one drawing goes to: the host's
// during a render step, null outside it (drawing then does nothing).
extern gxtkGraphics* hostRenderer;
extern gxtkGraphics* currentRenderer;

// Creates the one drawing state (again, fresh, when called twice).
void createDrawState();
// Window size as the drawing layer sees it, refreshed before each render step.
void refreshDisplaySize(int width, int height);
int displayWidth();
int displayHeight();
// Starts a render step: the host's renderer, identity transform, white,
// opaque, alpha blending, no clipping. Only the fonts carry over.
void resetDrawState();

// ---- Transforms ----
void setTransform(float xAxisX, float xAxisY, float yAxisX, float yAxisY, float originX, float originY);
void setTransform(const std::array<float, 6>& elements);
// current = current x T.
void multiplyTransform(float xAxisX, float xAxisY, float yAxisX, float yAxisY, float originX, float originY);
void translateBy(float x, float y);
// A positive angle (degrees) turns counter-clockwise on the screen.
void rotateBy(float degrees);
void scaleBy(float x, float y);
void pushTransform();
// Restores the last pushed transform; an empty stack leaves the transform alone.
void popTransform();
// Hands the transform to the renderer; drawing does this when it has changed.
void syncTransform();

// ---- Colour and GL-held state ----
void setTint(float r, float g, float b);
// 0xRRGGBB.
void setTint(int rgb);
void setTint(const c_Color& colour);
void setOpacity(float alpha);
void setBlendMode(int mode);
// Forwarded truncated toward zero.
void setClipRect(float x, float y, float w, float h);

// The renderer of the render step with the transform handed over, or null
// outside a render step.
gxtkGraphics* drawingRenderer();

// The drawing functions over this state.
#include "graphics/drawing.h"
