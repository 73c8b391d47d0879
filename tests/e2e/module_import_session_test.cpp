// Modules LOAD takes by name from the songs folder, in the real program
// under Xvfb: the song is the import's, named after the file and unsaved,
// and SAVE writes it beside the module, never over it; a file libopenmpt
// refuses says "Loading Failed!" and changes nothing.
#include "base/file_loading.h"
#include "song/module_import.h"
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/mod_writer.h"
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr uint32_t textInk = 0x9490A4;

void writeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);
}

std::string tuneBytes()
{
    ModDescription module;
    module.samples = {{"lead", sawCycle()}, {"hat", noiseSamples(4096)}};
    module.patterns = {emptyModPattern(4)};
    module.orders = {0, 0};
    for (int row = 0; row < modRows; row += 4) {
        module.patterns[0].at(row, 0) = {12 + row / 4 % 12, 1};
        module.patterns[0].at(row + 2, 3) = {24, 2, 0xC, 0x20};
    }
    module.patterns[0].at(0, 0).effect = 0xF;  // speed 3 from the first row on: the song plays at 3
    module.patterns[0].at(0, 0).parameter = 3;
    return modBytes(module);
}

Song songOf(const std::string& bytes)
{
    Song song;
    song.patternColumns = blankColumns();
    parseSongText(decodeText(std::vector<unsigned char>(bytes.begin(), bytes.end())), song);
    return song;
}

} // namespace

TEST(ModuleImportSession, LoadTakesAModuleAsAnUnsavedSongAndRefusesABrokenOne)
{
    ScreenText reader;
    ASSERT_TRUE(reader.loaded());
    TrackerProcess tracker;
    const std::string tune = tuneBytes();
    writeFile(tracker.songPath("tune.mod"), tune);
    writeFile(tracker.songPath("broken.xm"), "Extended Module: but nothing after it");
    ASSERT_TRUE(tracker.waitForWindow());
    auto statusIs = [&](const std::string& text) {
        return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 60);
    };
    auto speedShown = [&] { return reader.read(tracker.screenshot(), 385, 372, 7, textInk); };
    ASSERT_TRUE(statusIs("Standby..."));

    ASSERT_TRUE(tracker.enterSongName("tune.mod"));
    tracker.key("F12");
    ASSERT_TRUE(statusIs("File Loaded..."));
    EXPECT_EQ(tracker.shownSongName(), "tune");
    EXPECT_EQ(speedShown(), " SPD:03");

    // A refused module: the message, and the song in memory as it was.
    ASSERT_TRUE(tracker.enterSongName("broken.xm"));
    tracker.key("F12");
    ASSERT_TRUE(statusIs("Loading Failed!"));
    EXPECT_EQ(speedShown(), " SPD:03");

    // SAVE under the module's name without its extension: exactly what the
    // import made, and the module as it was.
    ASSERT_TRUE(tracker.enterSongName("tune"));
    tracker.key("F11");
    ASSERT_TRUE(statusIs("File Saved..."));
    std::optional<Song> imported = importModule(std::vector<unsigned char>(tune.begin(), tune.end()));
    ASSERT_TRUE(imported.has_value());
    Song saved = songOf(readFileBytes(tracker.songPath("tune")));
    EXPECT_EQ(saved.patternColumns, imported->patternColumns);
    EXPECT_EQ(saved.positions, imported->positions);
    EXPECT_EQ(saved.instrumentParams, imported->instrumentParams);
    EXPECT_EQ(readFileBytes(tracker.songPath("tune.mod")), tune);
    EXPECT_TRUE(tracker.closeWindow());
}
