#include "tests/resources/resource_files.h"

#include "audio/audio_decoders.h"
#include "tests/support/child_process.h"

#include <stb_image.h>

#include <cstdio>
#include <cstring>

const std::vector<std::string> kResourceFiles = {
    "zukafont.png", "zuka_font.png", "button1.png", "button_navrow.png",
    "icon16.png", "icon32.png", "icon48.png", "icon64.png", "icon128.png",
    "wav/ramp_64.wav", "wav/ramp_b_64.wav", "wav/ramp_c_64.wav", "wav/saw_64.wav",
    "wav/fx2b.wav", "wav/tri_64.wav", "wav/hnoise.wav", "wav/zero_64.wav",
};

std::string dataFile(const std::string& name) { return programDirectory() + "/data/" + name; }

PngPixels loadPngPixels(const std::string& path)
{
    PngPixels pixels;
    unsigned char* data = stbi_load(path.c_str(), &pixels.width, &pixels.height, &pixels.components, 0);
    if (!data) return PngPixels();
    pixels.bytes.assign(data, data + static_cast<size_t>(pixels.width) * pixels.height * pixels.components);
    stbi_image_free(data);
    return pixels;
}

std::vector<int16_t> loadWaveform(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    std::optional<AudioSamples> decoded = decodeWav(file);
    std::fclose(file);
    if (!decoded || decoded->channels != 1 || decoded->bytesPerSample != 2 || decoded->rate != 16744) return {};
    std::vector<int16_t> samples(static_cast<size_t>(decoded->length));
    std::memcpy(samples.data(), decoded->data.data(), samples.size() * sizeof(int16_t));
    return samples;
}
