// The export's kinds of file, read back by decoders and tag readers that are
// not ours: each file is what its magic says, FLAC holds the WAV's samples
// exactly, the lossy ones sound like it, and the tags name the song.
#include "tests/export/export_fixture.h"
#include "tests/support/signal_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct FormatCase {
    const char* extension;
    const char* magic;  // what the first bytes say, see magicOf
    size_t paddingFrames;  // how much longer or shorter the decoded sound may be
};

// Vorbis and Opus end on the exact frame through their granule positions;
// an MP3 decoder that skips the encoder's gapless tag may add a frame.
constexpr FormatCase lossyCases[] = {
    {"ogg", "Ogg Vorbis", 0},
    {"opus", "Ogg Opus", 0},
    {"mp3", "MP3", 1152},
};

// The kind of file by its first bytes, not by its name.
std::string magicOf(const std::string& bytes)
{
    auto at = [&](size_t offset, const char* text) { return bytes.compare(offset, std::strlen(text), text) == 0; };
    if (at(0, "RIFF") && at(8, "WAVE")) return "WAV";
    if (at(0, "fLaC")) return "FLAC";
    if (at(0, "OggS") && bytes.find("\x01vorbis") != std::string::npos) return "Ogg Vorbis";
    if (at(0, "OggS") && bytes.find("OpusHead") != std::string::npos) return "Ogg Opus";
    bool frameSync = bytes.size() > 1 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                     (static_cast<unsigned char>(bytes[1]) & 0xE0) == 0xE0;
    if (at(0, "ID3") || frameSync) return "MP3";
    return "unknown";
}

std::string tool(const std::vector<std::string>& argv)
{
    ChildProcess process(argv);
    EXPECT_TRUE(process.waitExit(60)) << argv[0];
    EXPECT_EQ(process.exitStatus(), 0) << argv[0] << ": " << process.standardError();
    return process.standardOutput() + process.standardError();
}

class ExportFormats : public ExportTest {
protected:
    // The file decoded to a 16-bit WAV by the format's own Debian decoder.
    WavContent decode(const std::string& name)
    {
        std::string in = path(name), out = path(name + ".decoded.wav");
        std::string extension = name.substr(name.rfind('.') + 1);
        if (extension == "flac") tool({"flac", "-d", "-s", "-f", "-o", out, in});
        if (extension == "ogg") tool({"oggdec", "-Q", "-o", out, in});
        if (extension == "opus") tool({"opusdec", "--quiet", "--rate", "48000", in, out});
        if (extension == "mp3") tool({"mpg123", "-q", "-w", out, in});
        return readWav(readFileBytes(out));
    }

    // The file's tags as a tag reader of its format lists them.
    std::string tags(const std::string& name)
    {
        std::string extension = name.substr(name.rfind('.') + 1);
        if (extension == "flac") return tool({"metaflac", "--export-tags-to=-", path(name)});
        if (extension == "ogg") return tool({"vorbiscomment", "-l", path(name)});
        if (extension == "opus") return tool({"opusinfo", path(name)});
        return tool({"id3v2", "-l", path(name)});
    }

    std::string magic(const std::string& name) const { return magicOf(readFileBytes(path(name))); }

    // A held C4 on channel 1: one pass, then the 2 s tail.
    void writeHeldC4(const std::string& name)
    {
        Song song = testSong();
        putCell(song, 1, 0, U"yF12");
        putCell(song, 2, 16, U"q812");
        writeSong(name, song);
    }
};

double decibels(double ratio) { return 20 * std::log10(ratio); }

} // namespace

TEST_F(ExportFormats, FlacHoldsTheWavSamplesAndBothAreTheSameBytesEachTime)
{
    writeHeldC4("c4");
    ASSERT_EQ(run({"--export", "c4", "-o", "c4.wav", "--quiet"}).exitStatus(), 0) << process->standardError();
    ASSERT_EQ(run({"--export", "c4", "-o", "c4.flac", "--quiet"}).exitStatus(), 0) << process->standardError();
    EXPECT_EQ(magic("c4.wav"), "WAV");
    EXPECT_EQ(magic("c4.flac"), "FLAC");
    WavContent original = wav("c4.wav");
    ASSERT_GT(original.frames(), frames48k(200));
    WavContent decoded = decode("c4.flac");
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.rate, 48000);
    EXPECT_TRUE(decoded.samples == original.samples) << "FLAC is not the WAV's sound";

    ASSERT_EQ(run({"--export", "c4", "-o", "again.flac", "--quiet"}).exitStatus(), 0);
    EXPECT_TRUE(readFileBytes(path("again.flac")) == readFileBytes(path("c4.flac")));
    std::string flacTags = tags("c4.flac");
    EXPECT_NE(flacTags.find("title=c4"), std::string::npos) << flacTags;
    EXPECT_NE(flacTags.find("software=Kovo Tracker v1.705"), std::string::npos) << flacTags;
}

TEST_F(ExportFormats, LossyFilesSoundLikeTheWavAndNameTheSong)
{
    writeHeldC4("held c4");
    ASSERT_EQ(run({"--export", "held c4", "-o", "held.wav", "--quiet"}).exitStatus(), 0);
    WavContent original = wav("held.wav");
    std::vector<float> reference = slice(original.left(), frames48k(5), frames48k(55));
    double wavPitch = strongestFrequency(reference, 48000, 100, 1000).frequency;
    ASSERT_NEAR(wavPitch, 261.6, 0.5);
    for (const FormatCase& format : lossyCases) {
        std::string name = std::string("held.") + format.extension;
        ASSERT_EQ(run({"--export", "held c4", "-o", name, "--quiet"}).exitStatus(), 0) << process->standardError();
        EXPECT_EQ(magic(name), format.magic);
        WavContent decoded = decode(name);
        EXPECT_EQ(decoded.channels, 2) << name;
        EXPECT_LE(std::abs(static_cast<long>(decoded.frames()) - static_cast<long>(original.frames())),
                  static_cast<long>(format.paddingFrames))
            << name << ": " << decoded.frames() << " frames, the WAV " << original.frames();
        std::vector<float> sound = slice(decoded.left(), frames48k(5), frames48k(55));
        EXPECT_NEAR(strongestFrequency(sound, 48000, 100, 1000).frequency, wavPitch, wavPitch * 0.005) << name;
        EXPECT_NEAR(decibels(rms(decoded.left()) / rms(original.left())), 0.0, 1.0) << name;
        if (format.paddingFrames > 0) {
            // MP3 streams carry no random serial number: the same song gives
            // the same bytes, as long as the encoder only sees the song.
            ASSERT_EQ(run({"--export", "held c4", "-o", "again.mp3", "--quiet"}).exitStatus(), 0);
            EXPECT_TRUE(readFileBytes(path("again.mp3")) == readFileBytes(path(name)));
        }
        std::string listed = tags(name);
        EXPECT_NE(listed.find("held c4"), std::string::npos) << listed;
        EXPECT_NE(listed.find("Kovo Tracker v1.705"), std::string::npos) << listed;
    }
}

TEST_F(ExportFormats, TheFormatOptionOverridesTheExtensionAndStemsTakeTheMixFormat)
{
    writeHeldC4("tune");
    ASSERT_EQ(run({"--export", "tune", "-o", "tune.wav", "--format", "FLAC", "--quiet"}).exitStatus(), 0);
    EXPECT_EQ(magic("tune.wav"), "FLAC");
    ASSERT_EQ(run({"--export", "tune", "-o", "parts.MP3", "--stems", "--quality", "2"}).exitStatus(), 0)
        << process->standardError();
    EXPECT_EQ(files(), (std::vector<std::string> {"parts-1.mp3", "parts-2.mp3", "parts-3.mp3", "parts-4.mp3",
                                                  "parts.MP3", "tune", "tune.wav"}));
    for (std::string name : {"parts.MP3", "parts-1.mp3", "parts-4.mp3"}) EXPECT_EQ(magic(name), "MP3") << name;
    // Channel 3 is silent in the song; the ones that play are not.
    EXPECT_GT(rms(decode("parts-1.mp3").left()), 0.05);
    EXPECT_LT(rms(decode("parts-3.mp3").left()), 0.001);
}

// Several songs into a folder, two at a time: a song that cannot be read is
// named and skipped, the others are written as one at a time would write them.
TEST_F(ExportFormats, ABatchWritesEveryReadableSongIntoTheFolder)
{
    writeHeldC4("one");
    Song other = testSong();
    putCell(other, 3, 0, U"b712");
    writeSong("two", other);
    writeSong("three", testSong());
    ASSERT_EQ(run({"--export", "one", "missing", "two", "three", "-o", "out/", "--format", "flac", "--jobs", "2"})
                  .exitStatus(),
              2);
    std::string said = process->standardError();
    EXPECT_NE(said.find("cannot read song file missing"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    for (std::string song : {"one", "two", "three"}) {
        EXPECT_EQ(magic("out/" + song + ".flac"), "FLAC") << song;
        EXPECT_NE(tags("out/" + song + ".flac").find("title=" + song), std::string::npos) << song;
    }
    ASSERT_EQ(run({"--export", "two", "-o", "two.flac", "--quiet"}).exitStatus(), 0);
    EXPECT_TRUE(readFileBytes(path("out/two.flac")) == readFileBytes(path("two.flac")));
}
