#include "graphics/image_file_loading.h"

#include "host/file_loading.h"

#include <stb_image.h>

ImagePixels loadImagePixels(BBGame& game, const String& path)
{
    ImagePixels image;
    std::FILE* file = game.openForLoading(path, mediaFileLimit);
    if (!file) return image;
    image.data.reset(stbi_load_from_file(file, &image.width, &image.height, &image.components, 0));
    std::fclose(file);
    return image;
}
