#include "export/audio_format.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

std::optional<AudioFormat> formatNamed(const std::string& name)
{
    std::string lower = lowerCase(name);
    for (const AudioFormatInfo& info : audioFormats)
        if (lower == info.name) return info.format;
    return std::nullopt;
}

std::string fileExtension(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    // A leading dot makes a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart) return std::string();
    return path.substr(dot);
}

std::optional<AudioFormat> formatOfExtension(const std::string& extension)
{
    std::string lower = lowerCase(extension);
    for (const AudioFormatInfo& info : audioFormats)
        if (lower == info.extension) return info.format;
    return std::nullopt;
}

AudioFormat nextFormat(AudioFormat format)
{
    return audioFormats[(static_cast<size_t>(format) + 1) % audioFormats.size()].format;
}
