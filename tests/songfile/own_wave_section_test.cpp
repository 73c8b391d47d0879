// The song's own waves in its file: they come back as written, a song
// without one is written exactly as before, and a broken section costs no
// more than the waves from its fault on.
#include "song/song_file.h"
#include "base/file_loading.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <iterator>

namespace {

Song blankSong()
{
    Song song;
    song.patternColumns = blankColumns();
    return song;
}

// A song with notes and instruments, and waves in slots 1 (WAV 8) and 6
// (WAV D) that reach both ends of 16 bits.
Song songWithWaves()
{
    Song song = blankSong();
    song.patternColumns[noteColumn(1)][0] = U'q';
    song.instrumentParams[8 + slotWave] = 8;
    song.instrumentParams[16 + slotEnvelope] = 200;
    song.instrumentDescriptions[1] = U"own wave";
    OwnWave ramp {};
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(-32768 + 1040 * static_cast<int>(i));
    ramp[63] = 32767;
    song.ownWaves[0] = ramp;
    song.ownWaves[5] = OwnWave {};
    return song;
}

String withoutWaves(Song song)
{
    song.ownWaves = {};
    return songText(song);
}

void expectBodyOf(const Song& read, const Song& song)
{
    EXPECT_EQ(read.patternColumns, storedSong(song).patternColumns);
    EXPECT_EQ(read.instrumentParams, storedSong(song).instrumentParams);
    EXPECT_EQ(read.instrumentDescriptions, storedSong(song).instrumentDescriptions);
}

std::vector<std::string> exampleFiles()
{
    std::vector<std::string> files;
    std::string folder = programDirectory() + "/data/examples";
    DIR* listing = opendir(folder.c_str());
    if (!listing) return files;
    while (dirent* entry = readdir(listing))
        if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
    closedir(listing);
    return files;
}

} // namespace

TEST(OwnWaveSection, WavesComeBackAsWrittenAfterTheLayout)
{
    Song song = songWithWaves();
    String text = songText(song);
    String layout = withoutWaves(song);
    EXPECT_EQ(text.substr(0, layout.size()), layout);
    EXPECT_EQ(text.substr(layout.size(), 6), U"WAVE28");
    EXPECT_EQ(text.size() - layout.size(), 5 + 2 * ownWaveRecordLength);
    EXPECT_EQ(text.substr(layout.size() + 6, 8), U"00000410");
    EXPECT_EQ(text.substr(layout.size() + 5 + ownWaveRecordLength, 5), U"D8000");

    Song read = blankSong();
    EXPECT_EQ(parseSongText(text, read), OwnWavesRead::whole);
    EXPECT_EQ(read.ownWaves, song.ownWaves);
    expectBodyOf(read, song);
    EXPECT_EQ(storedSong(song).ownWaves, song.ownWaves);
    EXPECT_EQ(encodeUtf8(songText(read)), encodeUtf8(text));

    // A song read over it takes its waves, and a song without any leaves none.
    EXPECT_EQ(parseSongText(layout, read), OwnWavesRead::none);
    EXPECT_EQ(read.ownWaves, OwnWaves {});
}

TEST(OwnWaveSection, SongsWithoutWavesAreWrittenByteForByteAsBefore)
{
    EXPECT_EQ(songText(blankSong()).size(), 1675u);
    std::vector<std::string> examples = exampleFiles();
    ASSERT_GE(examples.size(), 3u);
    for (const std::string& path : examples) {
        std::ifstream file(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        Song song = blankSong();
        EXPECT_EQ(parseSongText(decodeText(std::vector<unsigned char>(bytes.begin(), bytes.end())), song),
                  OwnWavesRead::none);
        EXPECT_EQ(encodeUtf8(songText(song)), bytes) << path;
    }
}

// Cut anywhere inside the section, the file still decodes and the song
// before it reads whole, with the waves wholly before the cut.
TEST(OwnWaveSection, ACutSectionKeepsTheSongAndTheWavesBeforeTheCut)
{
    Song song = songWithWaves();
    std::string bytes = encodeUtf8(songText(song));
    size_t layoutEnd = encodeUtf8(withoutWaves(song)).size();
    for (size_t length = layoutEnd + 1; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        Song read = blankSong();
        EXPECT_EQ(parseSongText(decodeText(std::vector<unsigned char>(bytes.begin(), bytes.begin() + length)), read),
                  OwnWavesRead::damaged);
        EXPECT_EQ(read.ownWaves[0].has_value(), length >= layoutEnd + 5 + ownWaveRecordLength);
        EXPECT_FALSE(read.ownWaves[5].has_value());
        if (length % 97 == 0) expectBodyOf(read, song);
    }
}

TEST(OwnWaveSection, ABrokenSectionIsSaidAndWhatIsNoSectionIsIgnoredAsEver)
{
    Song song = songWithWaves();
    String text = songText(song);
    size_t section = withoutWaves(song).size();
    auto readWith = [&](size_t at, const String& replacement, OwnWavesRead expected, int wavesKept) {
        String broken = text;
        broken.replace(section + at, replacement.size(), replacement);
        Song read = blankSong();
        EXPECT_EQ(parseSongText(broken, read), expected) << narrow(broken.substr(section, 12));
        EXPECT_EQ(std::count_if(read.ownWaves.begin(), read.ownWaves.end(), [](const auto& w) { return w.has_value(); }),
                  wavesKept);
        expectBodyOf(read, song);
    };
    readWith(4, U"0", OwnWavesRead::damaged, 0);  // no waves
    readWith(4, U"9", OwnWavesRead::damaged, 0);  // more than there are slots
    readWith(5, U"7", OwnWavesRead::damaged, 0);  // a stock WAV value
    readWith(5 + ownWaveRecordLength, U"8", OwnWavesRead::damaged, 1);  // a slot twice
    readWith(5 + ownWaveRecordLength + 9, U"g", OwnWavesRead::damaged, 1);
    readWith(4, U"1", OwnWavesRead::whole, 1);  // what follows the section is not read
    readWith(0, U"wAVE", OwnWavesRead::none, 0);
    readWith(0, U"\n", OwnWavesRead::none, 0);
}
