#include "host/window_scale.h"

#include "host/settings_file.h"

#include <algorithm>
#include <cmath>

namespace {

int commandLineScale = 0;

constexpr const char* scaleKey = "scale";
constexpr const char* scaleOptionName = "--scale";

// A whole number of 1 to 4 written plainly, or 0.
int parseScale(const std::string& text)
{
    if (text.size() != 1 || text[0] < '0' + minWindowScale || text[0] > '0' + maxWindowScale) return 0;
    return text[0] - '0';
}

} // namespace

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

ScaleOption readScaleOption(const std::vector<std::string>& arguments)
{
    ScaleOption option;
    const std::string prefix = std::string(scaleOptionName) + "=";
    for (size_t i = 1; i < arguments.size(); ++i) {
        std::string value;
        if (arguments[i] == scaleOptionName) {
            value = i + 1 < arguments.size() ? arguments[++i] : std::string();
        } else if (arguments[i].compare(0, prefix.size(), prefix) == 0) {
            value = arguments[i].substr(prefix.size());
        } else {
            continue;
        }
        option.scale = parseScale(value);
        if (!option.scale) option.error = "--scale needs a whole number from 1 to 4, not \"" + value + "\"";
    }
    if (!option.error.empty()) option.scale = 0;
    return option;
}

void requestWindowScale(int scale) { commandLineScale = scale; }
int requestedWindowScale() { return commandLineScale; }

int rememberedWindowScale()
{
    auto value = readSetting(settingsFilePath(), scaleKey);
    return value ? parseScale(*value) : 0;
}

bool rememberWindowScale(int scale)
{
    return writeSetting(settingsFilePath(), scaleKey, std::to_string(scale));
}
