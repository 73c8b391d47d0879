// The command-line export of the real program: songs built in memory and
// written as song files into a temporary folder, the program run on them,
// and the WAV files it writes read back.
#pragma once

#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A 16-bit WAV file as written (by the export or by a decoder): its format
// fields and its samples.
struct WavContent {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int16_t> samples;  // interleaved left, right
    size_t frames() const { return samples.size() / 2; }
    std::vector<float> left() const;  // left channel, full scale = 1
};

// Reads the format and the samples of a RIFF/WAVE file; empty fields when
// the bytes are not such a file.
WavContent readWav(const std::string& bytes);

// The song of a test: blank, instrument 1 a plain triangle (WAV 4, no
// detune) with the slowest envelope, speed 4, one position.
Song testSong();

// Writes one cell of every column of a channel (1..4) on a row of a pattern.
void putCell(Song& song, int channel, int row, const char32_t* cell, int pattern = 0);

// The example songs beside the program: their folder, their names in order,
// and one of them as the tracker loads it.
std::string examplesFolder();
std::vector<std::string> exampleNames();
Song loadExample(const std::string& name);

// How long a song's ticks are in frames at 48 kHz.
constexpr size_t frames48k(int ticks) { return static_cast<size_t>(ticks) * 960; }

class ExportTest : public ::testing::Test {
protected:
    // Saves the song under the name in the test's folder; its full path.
    std::string writeSong(const std::string& name, const Song& song);

    // Runs the program with the arguments in the test's folder and waits
    // for it to end; extra environment entries as NAME=value.
    ChildProcess& run(const std::vector<std::string>& args, const std::vector<std::string>& environment = {});

    std::string path(const std::string& name) const { return folder.path() + "/" + name; }
    WavContent wav(const std::string& name) const { return readWav(readFileBytes(path(name))); }
    // Names of the files in the test's folder.
    std::vector<std::string> files() const;

    TempFolder folder;
    std::unique_ptr<ChildProcess> process;
};
