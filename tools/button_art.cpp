#include "button_art.h"

#include "art_reader.h"

#include <sstream>

namespace {

constexpr int kLargestSide = 256;  // a sanity bound on the declared picture size

using Palette = std::map<char, Rgba>;

// "colour <key> <red> <green> <blue> <alpha>"
void readColour(ArtReader& in, std::istringstream& words, Palette& palette)
{
    char key = 0;
    int channels[4] = {};
    if (!(words >> key >> channels[0] >> channels[1] >> channels[2] >> channels[3]))
        in.fail("expected 'colour <key> <red> <green> <blue> <alpha>'");
    Rgba colour{};
    for (int i = 0; i < 4; ++i) {
        if (channels[i] < 0 || channels[i] > 255) in.fail("a colour value outside 0..255");
        colour[i] = static_cast<uint8_t>(channels[i]);
    }
    palette[key] = colour;
}

// "image <name> <width> <height>", then the rows.
void readImage(ArtReader& in, std::istringstream& words, const Palette& palette,
               std::map<std::string, RgbaImage>& images)
{
    std::string name;
    int width = 0, height = 0;
    if (!(words >> name >> width >> height)) in.fail("expected 'image <name> <width> <height>'");
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) in.fail("an unlikely picture size");
    if (images.count(name)) in.fail("picture '" + name + "' is drawn twice");
    std::string keys;
    for (const auto& entry : palette) keys += entry.first;
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        std::string row = in.row(width, keys);
        for (int x = 0; x < width; ++x) image.at(x, y) = palette.at(row[x]);
    }
    images.emplace(name, image);
}

} // namespace

std::map<std::string, RgbaImage> readButtonArt(const std::string& path)
{
    ArtReader in(path);
    Palette palette;
    std::map<std::string, RgbaImage> images;
    std::string line;
    while (in.next(line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "colour")
            readColour(in, words, palette);
        else if (keyword == "image")
            readImage(in, words, palette, images);
        else
            in.fail("expected 'colour' or 'image'");
    }
    return images;
}
