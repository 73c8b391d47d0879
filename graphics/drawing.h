// The drawing functions the application uses: plain free functions over the
// one drawing state, forwarded to the renderer of the render step. Outside a
// render step, and for a missing image or frame, they draw nothing.
#pragma once

#include <memory>
#include <vector>

class c_Image;

void fillRect(float x, float y, float w, float h);
void strokeLine(float x1, float y1, float x2, float y2);

// The frame with its handle at (x, y).
void drawImageFrame(const std::shared_ptr<c_Image>& image, float x, float y, int frame = 0);
// The frame turned by rotation degrees and scaled about its handle, which lands at (x, y).
void drawImageFrameTransformed(const std::shared_ptr<c_Image>& image, float x, float y, float rotation, float scaleX,
                               float scaleY, int frame = 0);
// A rectangle of the frame, in frame pixels, with the handle at (x, y).
void drawImagePart(const std::shared_ptr<c_Image>& image, float x, float y, int srcX, int srcY, int srcW, int srcH,
                   int frame = 0);
void drawImagePartTransformed(const std::shared_ptr<c_Image>& image, float x, float y, int srcX, int srcY, int srcW,
                              int srcH, float rotation, float scaleX, float scaleY, int frame = 0);

// Writes 0xAARRGGBB values, w x h, top row first, at (x, y) in window units
// as they are (no transform, tint, blending or clip). False where the
// renderer cannot write pixels straight into the window's picture: then draw
// them as an image.
bool writeScreenPixels(const std::vector<int>& pixels, int x, int y, int w, int h);
// True while the frame has not yet drawn: pixels written now are held in
// memory, and a frame that only writes them costs the GL driver nothing.
// Written after drawing, they cost the driver a copy into the picture.
bool screenPixelsHeld();
