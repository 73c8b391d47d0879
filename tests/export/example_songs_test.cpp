// The example songs the build puts beside the program: each one loads,
// plays through the player from start to end and exports, and together they
// show every instrument value, every pattern sign and several speeds.
#include "export/song_passes.h"
#include "base/file_loading.h"
#include "tests/export/export_fixture.h"

#include <dirent.h>
#include <set>
#include <sys/stat.h>

namespace {

// The instruments a song's patterns name, over the positions it plays.
std::set<int> instrumentsPlayed(const Song& song)
{
    std::set<int> used;
    for (int position = 0; position < song.songLengthRows / rowsPerPattern; ++position)
        for (int row = 0; row < rowsPerPattern; ++row)
            for (int channel = 1; channel <= channelCount; ++channel) {
                size_t at = static_cast<size_t>(song.positions[position] * rowsPerPattern + row);
                if (int digit = hexDigitValue(song.patternColumns[instrumentColumn(channel)][at])) used.insert(digit);
            }
    return used;
}

bool isNameCharacter(char32_t c) { return String(U" abcdefghijklmnopqrstuvwxyz!-._()&+[]/0123456789").find(c) != String::npos; }

class ExampleSongs : public ExportTest {};

} // namespace

TEST_F(ExampleSongs, EachIsAMinuteLongAndSaysWhatItShowsAndTogetherTheyShowEverything)
{
    std::vector<std::string> names = exampleNames();
    ASSERT_GE(names.size(), 5u);
    std::set<int> speeds, waves;
    std::set<char32_t> signs;
    std::array<bool, slotsPerInstrument> slotUsed {};
    bool repeatOnce = false, swept = false, bent = false, arpScaled = false;
    for (const std::string& name : names) {
        std::string bytes = readFileBytes(examplesFolder() + "/" + name);
        struct stat info {};
        ASSERT_EQ(stat((examplesFolder() + "/" + name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0222, 0u) << name << " may be written";
        // Exactly what the tracker's SAVE writes for the song it loads.
        Song song = loadExample(name);
        EXPECT_EQ(encodeUtf8(songText(song)), bytes) << name;
        // The description line: instrument 1's, shown on the panel as the song loads.
        String description = song.instrumentDescriptions[1];
        while (!description.empty() && description.back() == U' ') description.pop_back();
        EXPECT_GE(description.size(), 10u) << name;
        EXPECT_TRUE(std::all_of(description.begin(), description.end(), isNameCharacter)) << name;
        // 50 ticks a second, one pass at least a minute.
        EXPECT_GE(passTicks(song, 1, 60 * 50), 60 * 50) << name;
        speeds.insert(song.speed);
        for (int instrument : instrumentsPlayed(song)) {
            auto slot = [&](int s) { return instrumentSlot(song, instrument, s); };
            waves.insert(slot(slotWave));
            for (int s = 0; s < slotsPerInstrument; ++s) slotUsed[s] = slotUsed[s] || slot(s) != 0;
            repeatOnce = repeatOnce || slot(slotE2pRpt) >= 16;
            bent = bent || slot(slotE2pRpt) % 16 != 0;
            swept = swept || slot(slotAmtSwp) >= 16;
            arpScaled = arpScaled || (slot(slotAmtSwp) % 16 != 0 && slot(slotAmtSwp) % 16 != 15);
        }
        for (int column = 0; column < channelCount; ++column)
            for (char32_t c : song.patternColumns[column].text()) signs.insert(c);
    }
    EXPECT_GE(speeds.size(), 3u);
    EXPECT_EQ(waves, (std::set<int> {1, 2, 3, 4, 5, 6, 7}));
    for (int s = 0; s < slotsPerInstrument; ++s) EXPECT_TRUE(slotUsed[s]) << "slot " << s << " is 0 in every song";
    EXPECT_TRUE(repeatOnce && bent && swept && arpScaled);
    for (char32_t sign : {U'<', U'+', U'#', U'-'}) EXPECT_EQ(signs.count(sign), 1u) << static_cast<char>(sign);
}

// Through the real program's export: the player runs each song from its
// start to its end without a fault, and what it plays is sound, not silence
// and not clipped.
TEST_F(ExampleSongs, ExportThroughThePlayer)
{
    std::vector<std::string> names = exampleNames();
    ASSERT_FALSE(names.empty());
    std::vector<std::string> args {"--export"};
    for (const std::string& name : names) args.push_back(examplesFolder() + "/" + name);
    args.insert(args.end(), {"-o", folder.path() + "/", "--quiet"});
    // The export renders on a loopback device: no output device is needed,
    // and a sound server some other program runs is kept out of the way.
    ChildProcess& program = run(args, {"ALSOFT_DRIVERS=null"});
    EXPECT_EQ(program.exitStatus(), 0);
    EXPECT_EQ(program.standardError(), "");
    for (const std::string& name : names) {
        WavContent sound = wav(name + ".wav");
        ASSERT_EQ(sound.rate, 48000) << name;
        EXPECT_GE(sound.frames(), 60u * 48000) << name;
        int peak = 0;
        double energy = 0;
        for (int16_t value : sound.samples) {
            peak = std::max(peak, std::abs(static_cast<int>(value)));
            energy += static_cast<double>(value) * value;
        }
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_GT(std::sqrt(energy / sound.samples.size()), 1000.0) << name << " is nearly silent";
    }
}
