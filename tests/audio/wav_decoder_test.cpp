// Reading sample files: the WAV chunk walk, broken and hostile headers, and
// Ogg Vorbis through the library decoder.
#include "audio/audio_decoders.h"
#include "audio/audio_file_loading.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

namespace {

// tests/audio/tone.ogg: 0.25 s of a 440 Hz sine, 16000 Hz stereo Ogg Vorbis
// (4000 frames), made once with
//   sox -n -r 16000 -c 2 --comment '' tone.ogg synth 0.25 sine 440
std::string toneOggBytes()
{
    std::string bytes = readFileBytes(KOVO_TONE_OGG);
    if (bytes.empty()) throw std::runtime_error("cannot read " KOVO_TONE_OGG);
    return bytes;
}

class SampleFiles : public ::testing::Test {
protected:
    std::optional<AudioSamples> load(const std::string& name, const std::string& bytes)
    {
        return loadAudioSamples(widen(folder.write(name, bytes)));
    }
    std::optional<AudioSamples> load(const WavLayout& layout) { return load("test.wav", wavBytes(layout)); }

    TempFolder folder;
};

WavLayout stereo16(size_t dataBytes)
{
    WavLayout layout;
    layout.channels = 2;
    layout.rate = 22050;
    layout.data = std::string(dataBytes, '\x11');
    return layout;
}

} // namespace

TEST_F(SampleFiles, WholeFramesOfTheDataChunkAreTheLength)
{
    std::optional<AudioSamples> samples = load(stereo16(10));
    ASSERT_TRUE(samples);
    EXPECT_EQ(samples->length, 2);
    EXPECT_EQ(samples->channels, 2);
    EXPECT_EQ(samples->bytesPerSample, 2);
    EXPECT_EQ(samples->rate, 22050);

    WavLayout eightBit;
    eightBit.bits = 8;
    eightBit.data = "\x80\x90\xA0";
    samples = load(eightBit);
    ASSERT_TRUE(samples);
    EXPECT_EQ(samples->length, 3);
    EXPECT_EQ(samples->bytesPerSample, 1);
    EXPECT_EQ(std::string(samples->data.begin(), samples->data.end()), "\x80\x90\xA0");
}

TEST_F(SampleFiles, ChunksBeforeTheDataAreSkippedButTheFormatMustComeFirst)
{
    WavLayout layout = stereo16(8);
    // An odd-sized chunk is followed directly by the next tag: no pad byte.
    layout.chunksBeforeData = riffChunk("LIST", "INFOabcdef") + riffChunk("odd ", "xyz");
    layout.formatSize = 18;  // a format chunk with an extension size is read past
    std::optional<AudioSamples> samples = load(layout);
    ASSERT_TRUE(samples);
    EXPECT_EQ(samples->length, 2);

    std::string bytes = wavBytes(stereo16(8));
    std::string listFirst = bytes.substr(0, 12) + riffChunk("LIST", "INFO") + bytes.substr(12);
    EXPECT_FALSE(load("list_first.wav", listFirst));
}

TEST_F(SampleFiles, HeadersThatCannotBeTrustedGiveNothing)
{
    struct Case {
        const char* what;
        WavLayout layout;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change) {
        WavLayout layout = stereo16(16);
        change(layout);
        cases.push_back({what, layout});
    };
    add("no channels", [](WavLayout& l) { l.channels = 0; });
    add("zero bits", [](WavLayout& l) { l.bits = 0; });
    add("four bits", [](WavLayout& l) { l.bits = 4; });
    add("float format", [](WavLayout& l) { l.formatTag = 3; });
    add("format chunk without bits", [](WavLayout& l) { l.formatSize = 14; });
    add("data beyond the file", [](WavLayout& l) { l.declaredDataSize = 17; });
    add("data of 4 GB", [](WavLayout& l) { l.declaredDataSize = 0xFFFFFFF0; });
    add("chunk size beyond the file", [](WavLayout& l) { l.chunksBeforeData = "JUNK\xF0\xFF\xFF\xFF"; });
    for (const Case& c : cases) EXPECT_FALSE(load(c.layout)) << c.what;

    std::string riff = wavBytes(stereo16(16));
    EXPECT_FALSE(load("rifx.wav", "RIFX" + riff.substr(4)));
    EXPECT_FALSE(load("wave.wav", riff.substr(0, 8) + "WAVX" + riff.substr(12)));
}

TEST_F(SampleFiles, EveryTruncationOfAGoodFileGivesNothing)
{
    WavLayout layout = stereo16(16);
    layout.chunksBeforeData = riffChunk("LIST", "INFO");
    std::string whole = wavBytes(layout);
    ASSERT_TRUE(load("whole.wav", whole));
    for (size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(load("cut.wav", whole.substr(0, size))) << size << " bytes";
}

TEST_F(SampleFiles, TheExtensionChoosesTheDecoderInAnyCase)
{
    std::string bytes = wavBytes(stereo16(8));
    EXPECT_TRUE(load("Sound.WAV", bytes));
    EXPECT_TRUE(load("sound.wav", bytes));
    EXPECT_FALSE(load("sound.wave", bytes));
    EXPECT_FALSE(load("sound.ogg", bytes));
    EXPECT_FALSE(loadAudioSamples(widen(folder.path() + "/missing.wav")));
}

TEST_F(SampleFiles, OggVorbisDecodesToInterleaved16BitSamples)
{
    std::string path = folder.write("tone.ogg", toneOggBytes());
    std::optional<AudioSamples> samples = loadAudioSamples(widen(path));
    ASSERT_TRUE(samples);
    EXPECT_EQ(samples->channels, 2);
    EXPECT_EQ(samples->rate, 16000);
    EXPECT_EQ(samples->bytesPerSample, 2);
    EXPECT_EQ(samples->length, 4000);
    EXPECT_EQ(samples->data.size(), 4000u * 2 * 2);

    std::string upper = folder.path() + "/TONE.OGG";
    ASSERT_EQ(std::rename(path.c_str(), upper.c_str()), 0);
    EXPECT_TRUE(loadAudioSamples(widen(upper)));
    EXPECT_FALSE(load("noise.ogg", std::string(5000, '\x5A')));
    EXPECT_FALSE(load("empty.ogg", ""));
}

TEST_F(SampleFiles, OggFilesThatDecodeBeyondTheLimitAreRefused)
{
    EXPECT_EQ(maxDecodedOggBytes, 256u << 20);
    std::string path = folder.write("tone.ogg", toneOggBytes());
    // 4000 stereo frames decode to exactly 16000 bytes.
    auto decodeWithLimit = [&](size_t limit) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::optional<AudioSamples> samples = decodeOgg(file, limit);
        std::fclose(file);
        return samples;
    };
    EXPECT_TRUE(decodeWithLimit(16000));
    EXPECT_FALSE(decodeWithLimit(15999));
    EXPECT_FALSE(decodeWithLimit(0));
}
