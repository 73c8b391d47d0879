// Drawable pictures: an image is one or more equal-sized frames, each a
// rectangle of one surface, loaded from a data file.
#pragma once

#include "base/text.h"

#include <memory>
#include <optional>
#include <vector>

class gxtkSurface;

// A frame's top-left corner in its surface.
class c_Frame {
public:
    int left = 0;
    int top = 0;
};

class c_Image {
public:
    // Image flags.
    static constexpr unsigned centreHandle = 1;     // handle at the frame's centre (then cleared)
    static constexpr unsigned padX = 2;             // a one-pixel border left and right of each frame is not drawn
    static constexpr unsigned padY = 4;             // the same above and below
    static constexpr unsigned wholeSurface = 65536; // one frame that is the whole surface: drawn with blitSurface

    // Takes the surface and the frame layout, then applies the flags. An
    // image is initialised once: a second time is the runtime error
    // "Image already initialized".
    void initialize(std::shared_ptr<gxtkSurface> surface, int frameWidth, int frameHeight, std::vector<c_Frame> frames,
                    unsigned flags);

    std::shared_ptr<gxtkSurface> surface;
    int frameWidth = 0;
    int frameHeight = 0;
    std::vector<c_Frame> frames;
    unsigned imageFlags = 0;
    float handleX = 0;
    float handleY = 0;
    // An image whose surface this one shares; no loader here sets it.
    std::shared_ptr<c_Image> sourceImage;
};

// Flags the framework uses for the images it loads itself (font pages).
constexpr unsigned defaultImageFlags = 0;

// One frame covering the whole file; null when the file cannot be loaded.
std::shared_ptr<c_Image> loadImageSingle(const String& path, unsigned flags);
// Frames side by side in one row; null for a count below 1.
std::shared_ptr<c_Image> loadImageStrip(const String& path, int frameCount, unsigned flags);
// Frames cut row by row from the whole surface; frames that do not fit are
// the runtime error "Image frame outside surface".
std::shared_ptr<c_Image> loadImageGrid(const String& path, int frameWidth, int frameHeight, int frameCount,
                                       unsigned flags);

void setImageHandle(c_Image& image, float x, float y);
// Stores the flags and applies padding, the centred handle and wholeSurface.
void applyImageFlags(c_Image& image, unsigned flags);

// Places count frames of w x h row by row in the source rectangle (srcX, srcY,
// srcW, srcH), the cursor starting at (x, y); nothing when a frame falls outside.
std::optional<std::vector<c_Frame>> layoutGridFrames(int x, int y, int srcX, int srcY, int srcW, int srcH, int w,
                                                     int h, int count);
