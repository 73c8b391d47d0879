// How fast the song list opens over a large songs folder and how long each
// typed character takes to narrow it: 5,000 songs in 50 subfolders, read as
// Ctrl+O reads them. Prints its figures; the aims are an open within 100 ms
// and every keystroke within one update step (20 ms).
#include "app/files/song_list.h"
#include "host/file_heads.h"
#include "song/song_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int folderCount = 50;
constexpr int songsPerFolder = 100;
constexpr int runs = 7;

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Whole songs, as SAVE writes them, so that the folder is as large as a
// real one: a C every fourth row, 1,675 bytes each.
void writeSongs(const std::string& root)
{
    Song song;
    song.patternColumns = blankColumns();
    for (int row = 0; row < rowsPerPattern; row += 4) song.patternColumns[0][row] = U'y';
    std::string bytes = encodeUtf8(songText(song));
    for (int folder = 0; folder < folderCount; ++folder) {
        std::string path = root + "/album " + std::to_string(folder);
        mkdir(path.c_str(), 0755);
        for (int n = 0; n < songsPerFolder; ++n) {
            std::string name = path + "/song " + std::to_string(folder * songsPerFolder + n);
            std::FILE* file = std::fopen(name.c_str(), "wb");
            if (!file) std::exit(1);
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    }
}

void printTimes(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %7.2f ms   min %7.2f   max %7.2f\n", what, times[times.size() / 2], times.front(),
                times.back());
}

} // namespace

int main()
{
    char pattern[] = "/tmp/kovo-song-list-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    std::string root = pattern;
    writeSongs(root);

    std::vector<double> opens;
    std::vector<SongEntry> entries;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        entries = readSongEntries(root);
        opens.push_back(millisecondsSince(start));
    }
    std::vector<double> heads;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        readFileHeads(root, songHeadLength, 1 << 20);
        heads.push_back(millisecondsSince(start));
    }
    std::printf("songs listed: %zu in %d subfolders\n", entries.size(), folderCount);
    printTimes("reading the folder (Ctrl+O, warm cache)", opens);
    printTimes("  of which the files' first bytes", heads);

    // Each character narrows what is shown; each Backspace widens it again.
    const std::u32string typed = U"song 12";
    std::vector<double> narrowing, widening;
    std::vector<int> shown;
    for (int run = 0; run < runs; ++run) {
        SongList list(27);
        list.setEntries(entries);
        for (char32_t c : typed) {
            auto start = std::chrono::steady_clock::now();
            list.narrow(c);
            narrowing.push_back(millisecondsSince(start));
            if (run == 0) shown.push_back(list.shownCount());
        }
        for (size_t i = 0; i < typed.size(); ++i) {
            auto start = std::chrono::steady_clock::now();
            list.widen();
            widening.push_back(millisecondsSince(start));
        }
    }
    std::printf("shown after each of \"song 12\":");
    for (int count : shown) std::printf(" %d", count);
    std::printf("\n");
    printTimes("a typed character (narrowing)", narrowing);
    printTimes("Backspace (widening)", widening);
    std::printf("aims: open within 100 ms, a keystroke within one update step (20 ms)\n");

    std::string command = "rm -rf '" + root + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
