// Modules made by the test's own writer, read through the real libopenmpt:
// which channels, patterns and positions they become, their notes, volumes
// and note-offs, and the waveform each sample is given.
#include "song/module_import.h"
#include "song/wave_likeness.h"

#include "tests/support/mod_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

namespace {

std::vector<unsigned char> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// A cell as its note, volume, instrument and octave characters ("y812").
std::string cellAt(const Song& song, int pattern, int row, int channel)
{
    int index = pattern * rowsPerPattern + row;
    std::string text;
    for (int column : {noteColumn(channel), volumeColumn(channel), instrumentColumn(channel), octaveColumn(channel)})
        text += char(song.patternColumns[size_t(column)][size_t(index)]);
    return text;
}

ModDescription threeSampleModule()
{
    ModDescription module;
    module.samples = {{"bright saw", sawCycle()}, {"soft sine", sineCycle()}, {"hiss", noiseSamples(8192)}};
    module.patterns = {emptyModPattern(4), emptyModPattern(4)};
    module.orders = {0, 1, 0};
    return module;
}

// A module of the channel count with a note, a volume and a glide in each
// channel, over two patterns.
ModDescription busyModule(int channels)
{
    ModDescription module = threeSampleModule();
    module.channels = channels;
    module.patterns = {emptyModPattern(channels), emptyModPattern(channels)};
    for (int channel = 0; channel < channels; ++channel) {
        module.patterns[0].at(channel, channel) = {channel * 5 % 36, channel % 3 + 1, 0xC, channel * 9};
        module.patterns[1].at(channel * 2 + 1, channel) = {35 - channel, 1, 0x3, 0x10};
    }
    return module;
}

void putLittle(std::string& out, unsigned value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// An XM of one pattern of a given length and no instruments, its cells as
// note, instrument, volume column, effect, parameter (5 bytes each, row by
// row): enough for libopenmpt to read the pattern.
std::string xmBytes(int channels, int rows, const std::vector<unsigned char>& cells)
{
    std::string out = "Extended Module: short pattern       ";
    out.resize(37, ' ');
    out += char(0x1A);
    out += std::string("kovo tests").append(10, ' ');
    putLittle(out, 0x0104, 2);
    putLittle(out, 276, 4);
    for (unsigned value : {1u, 0u, unsigned(channels), 1u, 0u, 1u, 6u, 125u}) putLittle(out, value, 2);
    out += std::string(256, '\0');  // the order list: pattern 0
    putLittle(out, 9, 4);
    out += char(0);
    putLittle(out, unsigned(rows), 2);
    putLittle(out, unsigned(cells.size()), 2);
    out.append(cells.begin(), cells.end());
    return out;
}

} // namespace

// A pattern of fewer rows than 32 ends early with "-", in the rightmost
// channel without a note on its last row; XM's note-off is the note-off.
TEST(ModuleImport, AShortPatternEndsEarly)
{
    std::vector<unsigned char> cells(size_t(5 * 4 * 20), 0);
    auto cell = [&](int row, int channel) { return cells.begin() + (row * 4 + channel) * 5; };
    // XM's C-4 (note 49) plays a sample at its own rate, as ProTracker's C-2
    // does: middle C here.
    for (int channel = 0; channel < 4; ++channel) *cell(0, channel) = 49;
    *cell(19, 0) = 61;
    *cell(19, 2) = 97;  // the XM note-off
    *cell(19, 3) = 73;
    std::optional<Song> song = importModule(bytesOf(xmBytes(4, 20, cells)));
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(cellAt(*song, 0, 0, 4), "y812");
    EXPECT_EQ(cellAt(*song, 0, 19, 1), "q812");
    EXPECT_EQ(cellAt(*song, 0, 19, 2), "-000");
    EXPECT_EQ(cellAt(*song, 0, 19, 3), "<000");
    EXPECT_EQ(cellAt(*song, 0, 19, 4), "i812");
}

// A pattern broken by D00 plays only up to that row, and a speed set on the
// first row is the song's: a module written with both comes in as it plays.
TEST(ModuleImport, APatternBreakEndsThePatternAndAFirstRowSpeedIsTheSongs)
{
    ModDescription module = threeSampleModule();
    module.orders = {0, 0};
    ModPattern& first = module.patterns[0];
    first.at(0, 0) = {12, 1, 0xF, 0x03};
    first.at(9, 1) = {14, 1, 0xD, 0x00};
    first.at(10, 2) = {16, 1};
    std::optional<Song> song = importModule(bytesOf(modBytes(module)));
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(song->speed, 3);
    EXPECT_EQ(song->songLengthRows, 2 * rowsPerPattern) << "each order one position of 10 rows";
    EXPECT_EQ(cellAt(*song, 0, 9, 4), "-000");
    EXPECT_EQ(cellAt(*song, 0, 10, 3), ".000") << "a row after the break is never heard";
    EXPECT_EQ(song->positions[1], 0);
}

// C-2 of ProTracker (C-5 in OpenMPT's naming) is this grid's middle C; a
// note without a volume is full level (8), C20 half; C00 is silence (the
// note-off), 3xx a note without a new attack (volume 0).
TEST(ModuleImport, NotesVolumesAndNoteOffsOfAFourChannelModule)
{
    ModDescription module = threeSampleModule();
    ModPattern& first = module.patterns[0];
    first.at(0, 0) = {12, 1};
    first.at(0, 1) = {0, 2, 0xC, 0x20};
    first.at(0, 2) = {35, 3};
    first.at(0, 3) = {24, 2, 0xC, 0x40};
    first.at(1, 0) = {14, 0, 0x3, 0x08};
    first.at(2, 0) = {-1, 0, 0xC, 0x00};
    first.at(33, 1) = {12, 2};
    std::optional<Song> song = importModule(bytesOf(modBytes(module)));
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(cellAt(*song, 0, 0, 1), "y812");
    EXPECT_EQ(cellAt(*song, 0, 0, 2), "y421") << "C-1, an octave below middle C, at half volume";
    EXPECT_EQ(cellAt(*song, 0, 0, 3), "u832") << "B-3";
    EXPECT_EQ(cellAt(*song, 0, 0, 4), "q822") << "C-3 at C40, which is full";
    EXPECT_EQ(cellAt(*song, 0, 1, 1), "x012") << "the last instrument, without a new attack";
    EXPECT_EQ(cellAt(*song, 0, 2, 1), "<000");
    EXPECT_EQ(cellAt(*song, 1, 1, 2), "y822") << "row 33 is row 1 of the pattern's second half";
    // Orders 0 1 0 of 64 rows: positions of 32 rows each, the halves shared.
    EXPECT_EQ(song->songLengthRows, 6 * rowsPerPattern);
    EXPECT_EQ(std::vector<int>(song->positions.begin(), song->positions.begin() + 7),
              (std::vector<int> {0, 1, 2, 3, 0, 1, 0}));
    EXPECT_EQ(song->speed, 6);
    EXPECT_EQ(narrow(song->instrumentDescriptions[2]), "soft sine");
}

// A module this program wrote names each sample by the octaves it sounds
// from the notes written ("WAV 1 -2 oct"): the import moves its notes by
// them. Any other name, a lookalike too, moves nothing.
TEST(ModuleImport, SamplesNamedWithOctavesMoveTheirNotes)
{
    ModDescription module = threeSampleModule();
    module.samples = {{"WAV 1 -2 oct", sawCycle()},
                      {"WAV 3 +2 oct +7 cent", sawCycle()},
                      {"WAV 1 -2 octaves", sawCycle()},
                      {"bass -1 oct", sawCycle()}};
    ModPattern& first = module.patterns[0];
    first.at(0, 0) = {24, 1};  // C-3
    first.at(0, 1) = {0, 2};   // C-1
    first.at(0, 2) = {12, 3};  // C-2, middle C
    first.at(0, 3) = {12, 4};
    first.at(1, 0) = {26, 0};  // D-3 on the channel's last sample
    std::optional<Song> song = importModule(bytesOf(modBytes(module)));
    ASSERT_TRUE(song.has_value());
    auto pitchAt = [&](int row, int channel) {
        std::string cell = cellAt(*song, 0, row, channel);
        return noteValueOf(char32_t(cell[0])) + 12 * (cell[3] - '0');
    };
    EXPECT_EQ(pitchAt(0, 1), 12) << "C-3 two octaves down: an octave below middle C";
    EXPECT_EQ(pitchAt(0, 2), 36) << "C-1 two octaves up";
    EXPECT_EQ(pitchAt(0, 3), 24);
    EXPECT_EQ(pitchAt(0, 4), 24);
    EXPECT_EQ(pitchAt(1, 1), 14);
}

// Each sample, played alone, is measured: a saw is bright, a sine smooth, a
// noise has no period.
TEST(ModuleImport, EachSampleGetsTheNearestStockWaveform)
{
    std::optional<Song> song = importModule(bytesOf(modBytes(busyModule(4))));
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(instrumentSlot(*song, 1, slotWave), waveBright);
    EXPECT_EQ(instrumentSlot(*song, 2, slotWave), waveSmooth);
    EXPECT_EQ(instrumentSlot(*song, 3, slotWave), waveNoise);
    EXPECT_EQ(instrumentSlot(*song, 3, slotEnvelope), 2) << "a noise dies away like a drum";
    EXPECT_EQ(instrumentSlot(*song, 1, slotEnvelope), 255);
    EXPECT_EQ(instrumentSlot(*song, 9, slotWave), waveBright) << "instruments the module lacks";
}

// Of more than four channels the four with the most notes are taken, in
// their order; a pattern of fewer rows than 32 ends early with "-".
TEST(ModuleImport, TheFourBusiestChannelsOfAWiderModule)
{
    ModDescription module;
    module.channels = 6;
    module.samples = {{"saw", sawCycle()}};
    module.patterns = {emptyModPattern(6)};
    module.orders = {0};
    const int notesOf[6] = {1, 0, 3, 2, 3, 3};
    for (int channel = 0; channel < 6; ++channel)
        for (int row = 0; row < notesOf[channel]; ++row) module.patterns[0].at(row * 4, channel) = {12 + channel, 1};
    std::optional<Song> song = importModule(bytesOf(modBytes(module)));
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(cellAt(*song, 0, 0, 1), "x812") << "channel 3 (D)";
    EXPECT_EQ(cellAt(*song, 0, 0, 2), "d812") << "channel 4";
    EXPECT_EQ(cellAt(*song, 0, 0, 3), "c812") << "channel 5";
    EXPECT_EQ(cellAt(*song, 0, 0, 4), "v812") << "channel 6";
}

TEST(ModuleImport, WhatLibopenmptRefusesOrWhatIsTooLargeGivesNoSong)
{
    EXPECT_FALSE(importModule({}).has_value());
    EXPECT_FALSE(importModule(bytesOf("KOV1 this is no module at all")).has_value());
    std::string tooLarge = modBytes(threeSampleModule());
    tooLarge.resize(moduleFileLimit + 1, '\0');
    EXPECT_FALSE(importModule(bytesOf(tooLarge)).has_value());
    EXPECT_TRUE(namesModule("Tune.MOD") && namesModule("a.xm") && namesModule("b.S3m") && namesModule("c.it"));
    EXPECT_FALSE(namesModule("tune.mod.wav") || namesModule("mod") || namesModule("song"));
}

TEST(WaveLikeness, SineSawAndNoiseByPeriodAndBrightness)
{
    std::vector<float> sine, saw;
    for (int i = 0; i < 4096; ++i) {
        sine.push_back(float(std::sin(i * 2 * M_PI / 300)));
        saw.push_back(float((i % 300) / 150.0 - 1));
    }
    std::vector<float> noise;
    for (signed char sample : noiseSamples(4096)) noise.push_back(sample / 128.0f);
    EXPECT_EQ(likestWave(sine), waveSmooth);
    EXPECT_EQ(likestWave(saw), waveBright);
    EXPECT_EQ(likestWave(noise), waveNoise);
    EXPECT_EQ(likestWave(std::vector<float>(4096, 0.0f)), waveBright) << "silence";
}

// The fuzz target's module seeds are this writer's modules: each is the
// writer's bytes (KOVO_WRITE_MODULE_SEEDS=1 writes them anew) and imports.
TEST(ModuleImport, TheFuzzSeedsAreTheWritersModulesAndImport)
{
    const std::pair<const char*, ModDescription> seeds[] = {
        {"four_channels.mod", busyModule(4)}, {"six_channels.mod", busyModule(6)}, {"eight_channels.mod", busyModule(8)}};
    for (const auto& [name, description] : seeds) {
        const std::string path = std::string(KOVO_MODULE_SEEDS) + "/" + name;
        const std::string bytes = modBytes(description);
        if (std::getenv("KOVO_WRITE_MODULE_SEEDS")) std::ofstream(path, std::ios::binary) << bytes;
        std::ifstream file(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), bytes) << name;
        EXPECT_TRUE(importModule(bytesOf(bytes)).has_value()) << name;
    }
}
