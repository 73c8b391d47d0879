#include "rgba_image.h"

#include "art_reader.h"

#include <stb_image_write.h>

std::vector<unsigned char> encodePng(const RgbaImage& image)
{
    static_assert(sizeof(Rgba) == 4, "pixels are handed to the encoder as packed bytes");
    std::vector<unsigned char> bytes;
    auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<unsigned char>*>(context);
        auto* first = static_cast<unsigned char*>(data);
        out->insert(out->end(), first, first + size);
    };
    if (!stbi_write_png_to_func(append, &bytes, image.width, image.height, 4, image.pixels.data(), image.width * 4))
        throw ArtError("the PNG encoder failed");
    return bytes;
}
