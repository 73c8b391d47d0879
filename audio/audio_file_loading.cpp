#include "audio/audio_file_loading.h"

#include "audio/audio_decoders.h"
#include "base/data_files.h"
#include "base/file_loading.h"

#include <cwctype>

namespace {

bool endsWith(const String& text, const String& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

String lowerCase(String text)
{
    for (char32_t& c : text) c = static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

} // namespace

std::optional<AudioSamples> loadAudioSamples(const String& path)
{
    std::FILE* file = openForLoading(path, mediaFileLimit);
    if (!file) return std::nullopt;
    String lower = lowerCase(path);
    std::optional<AudioSamples> samples;
    if (endsWith(lower, U".wav"))
        samples = decodeWav(file);
    else if (endsWith(lower, U".ogg"))
        samples = decodeOgg(file);
    std::fclose(file);
    return samples;
}
