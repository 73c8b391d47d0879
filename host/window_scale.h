// The window's whole-number magnification. The program always draws its
// picture at one size; the window shows it s times larger with every pixel
// kept sharp, and pointer positions are divided back down.
#pragma once

#include <string>

constexpr int minWindowScale = 1;
constexpr int maxWindowScale = 4;

// The largest scale whose window fits the work area; at least 1.
int largestFittingScale(int workWidth, int workHeight, int pictureWidth, int pictureHeight);

// The scale the window opens at. `requested` (from the command line, 0 for
// none) is taken as it is; otherwise the remembered one (0 for none), else
// the monitor's content scale rounded down, either only as large as fits.
struct ScaleChoice {
    int requested = 0;
    int remembered = 0;
    float contentScale = 1;
    int largestFitting = maxWindowScale;
};
int chooseWindowScale(const ScaleChoice& choice);

// A scale as the command line and the settings file write it: a whole number
// of 1 to 4 written plainly; 0 for any other text.
int windowScaleOf(const std::string& text);

// The command line's scale, handed to the host before the window opens; 0 = none.
void requestWindowScale(int scale);
int requestedWindowScale();

// The scale remembered in the settings file, 0 when there is none usable.
int rememberedWindowScale();
// Keeps the scale for the next start; false when the file cannot be written.
bool rememberWindowScale(int scale);
