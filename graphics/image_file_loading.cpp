#include "graphics/image_file_loading.h"

#include "base/data_files.h"
#include "base/file_loading.h"

#include <stb_image.h>

namespace {
// A small file can declare a huge picture: its decoded size is bounded
// before decoding. 64 MiB is 4096 x 4096 in RGBA, many times the largest
// picture the program draws, and far below what would exhaust memory.
constexpr long long decodedImageLimit = 64LL * 1024 * 1024;

bool decodedSizeWithinLimit(std::FILE* file)
{
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_file(file, &width, &height, &components)) return false;
    return static_cast<long long>(width) * height * 4 <= decodedImageLimit;
}
} // namespace

ImagePixels loadImagePixels(const String& path)
{
    ImagePixels image;
    std::FILE* file = openForLoading(path, mediaFileLimit);
    if (!file) return image;
    if (decodedSizeWithinLimit(file))
        image.data.reset(stbi_load_from_file(file, &image.width, &image.height, &image.components, 0));
    std::fclose(file);
    return image;
}
