#include "host/window_scale.h"

#include "base/settings_file.h"

#include <algorithm>
#include <cmath>

namespace {

int commandLineScale = 0;

constexpr const char* scaleKey = "scale";

} // namespace

int windowScaleOf(const std::string& text)
{
    if (text.size() != 1 || text[0] < '0' + minWindowScale || text[0] > '0' + maxWindowScale) return 0;
    return text[0] - '0';
}

int largestFittingScale(int workWidth, int workHeight, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0) return minWindowScale;
    int fitting = std::min(workWidth / pictureWidth, workHeight / pictureHeight);
    return std::clamp(fitting, minWindowScale, maxWindowScale);
}

int chooseWindowScale(const ScaleChoice& choice)
{
    if (choice.requested) return std::clamp(choice.requested, minWindowScale, maxWindowScale);
    int wanted = choice.remembered;
    // Rounded down: a content scale of 1.5 still gets sharp single pixels.
    if (!wanted && choice.contentScale >= 1) wanted = static_cast<int>(std::floor(std::min(choice.contentScale, 4.0f)));
    return std::clamp(std::min(wanted, choice.largestFitting), minWindowScale, maxWindowScale);
}

void requestWindowScale(int scale) { commandLineScale = scale; }
int requestedWindowScale() { return commandLineScale; }

int rememberedWindowScale()
{
    auto value = readSetting(settingsFilePath(), scaleKey);
    return value ? windowScaleOf(*value) : 0;
}

bool rememberWindowScale(int scale)
{
    return writeSetting(settingsFilePath(), scaleKey, std::to_string(scale));
}
