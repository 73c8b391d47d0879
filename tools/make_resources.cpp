// Makes the program's data folder from the art and formulas kept here:
//   make_resources <art folder> <data folder>
// or the desktop's icons of the program, one folder per size:
//   make_resources --icons <icon theme folder>
// Everything is read and made before anything is written, so a broken
// drawing leaves the data folder as it was. songs/ is created, never emptied.

#include "app_icon.h"
#include "art_reader.h"
#include "button_art.h"
#include "font_strips.h"
#include "glyph_art.h"
#include "waveforms.h"
#include "wav_file.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The button pictures the screen loads; the art file must draw each of them.
constexpr std::array<const char*, 2> kButtonNames = {"button1", "button_navrow"};

using FileBytes = std::pair<std::string, std::vector<unsigned char>>;  // path below the data folder, contents

std::vector<FileBytes> makeImages(const fs::path& art)
{
    GlyphSet glyphs = readGlyphArt((art / "font_glyphs.txt").string());
    std::map<std::string, RgbaImage> buttons = readButtonArt((art / "buttons.txt").string());
    std::vector<FileBytes> files;
    files.emplace_back("zukafont.png", encodePng(fontStrip(glyphs, 0)));
    files.emplace_back("zuka_font.png", encodePng(fontStrip(glyphs, 1)));
    for (const char* name : kButtonNames) {
        auto found = buttons.find(name);
        if (found == buttons.end()) throw ArtError(std::string("buttons.txt does not draw '") + name + "'");
        files.emplace_back(std::string(name) + ".png", encodePng(found->second));
    }
    for (int size : kWindowIconSizes) files.emplace_back("icon" + std::to_string(size) + ".png", encodePng(drawAppIcon(size)));
    return files;
}

std::vector<FileBytes> makeWaveforms()
{
    std::vector<FileBytes> files;
    for (size_t i = 0; i < waveformCount; ++i)
        files.emplace_back(waveformFiles[i], encodeWav(waveformSamples(kWaveforms[i]), kWaveRate));
    return files;
}

// Writes beside the target and renames, so a reader never sees half a file.
void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes)
{
    fs::create_directories(path.parent_path());
    fs::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw ArtError(partial.string() + ": cannot be written");
    }
    fs::rename(partial, path);
}

// <size>x<size>/apps/kovo-tracker.png, as the icon theme lays them out.
std::vector<FileBytes> makeIcons()
{
    std::vector<FileBytes> files;
    for (int size : kIconSizes) {
        std::string side = std::to_string(size);
        files.emplace_back(side + "x" + side + "/apps/kovo-tracker.png", encodePng(drawAppIcon(size)));
    }
    return files;
}

void writeAll(const fs::path& folder, const std::vector<FileBytes>& files)
{
    for (const FileBytes& file : files) writeFile(folder / file.first, file.second);
}

} // namespace

int main(int argc, char** argv)
{
    bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <art folder> <data folder>\n       %s --icons <icon theme folder>\n", argv[0],
                     argv[0]);
        return 2;
    }
    try {
        if (icons) {
            writeAll(argv[2], makeIcons());
            return 0;
        }
        std::vector<FileBytes> files = makeImages(argv[1]);
        for (FileBytes& file : makeWaveforms()) files.push_back(std::move(file));
        const fs::path data = argv[2];
        writeAll(data, files);
        fs::create_directories(data / "songs");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_resources: %s\n", error.what());
        return 1;
    }
    return 0;
}
