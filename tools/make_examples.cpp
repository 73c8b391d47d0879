// Writes the example songs into a folder, read-only, as song files exactly
// like the tracker's own saves:
//   make_examples <examples folder>
#include "example_songs.h"
#include "song_writer.h"

#include "song/song_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Writes beside the target and renames; the old file may be read-only, so
// it is replaced rather than written into.
void writeReadOnly(const fs::path& path, const std::string& bytes)
{
    fs::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw SongWriteError(partial.string() + ": cannot be written");
    }
    fs::permissions(partial, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::rename(partial, path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <examples folder>\n", argv[0]);
        return 2;
    }
    try {
        std::vector<ExampleSong> songs = exampleSongs();
        fs::create_directories(argv[1]);
        for (const ExampleSong& example : songs)
            writeReadOnly(fs::path(argv[1]) / example.name, encodeUtf8(songText(example.song)));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_examples: %s\n", error.what());
        return 1;
    }
    return 0;
}
