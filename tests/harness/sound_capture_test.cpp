#include "tests/support/sound_capture.h"

#include "tests/support/temp_folder.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void append(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

} // namespace

// The wave writer writes its header, then samples as they are played; a
// read can fall anywhere, within the header or within a sample.
TEST(CaptureReader, ReadsAGrowingFileWhereverEachReadEnds)
{
    TempFolder folder;
    const std::string path = folder.path() + "/capture.wav";
    const std::string whole = wavBytes({1, 1, 48000, 16, 16, "", pcm16({16384, -32768, 8192, 4}), -1});
    const size_t header = whole.size() - 8;
    CaptureReader reader(path);
    EXPECT_TRUE(reader.samples().empty()) << "no file yet";
    append(path, whole.substr(0, 20));
    EXPECT_TRUE(reader.samples().empty()) << "half a header";
    append(path, whole.substr(20, header - 20 + 3));
    EXPECT_EQ(reader.samples(), std::vector<float>({0.5f})) << "a sample and a half";
    append(path, whole.substr(header + 3));
    EXPECT_EQ(reader.samples(), std::vector<float>({0.5f, -1.0f, 0.25f, 4 / 32768.0f}));
    EXPECT_EQ(readCaptureSamples(path), reader.samples());

    // A new run of the program writes the file afresh.
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << wavBytes({1, 1, 48000, 16, 16, "", pcm16({-16384}), -1});
    EXPECT_EQ(reader.samples(), std::vector<float>({-0.5f}));
}
