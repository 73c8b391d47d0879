// What the export writes: the file's format and length, its sound, and the
// properties that hold between files (same bytes twice, stems adding up to
// the mix, a tail that ends silent or faded).
#include "tests/export/export_fixture.h"
#include "tests/support/signal_analysis.h"

#include <cmath>

namespace {

// A note that sustains: volume digits 9..F settle instead of fading out.
constexpr const char32_t* heldC4 = U"yF12";
// An empty song of two positions whose first pattern ends after row 7:
// 4 lead-in ticks, then 8 + 32 rows of 4 ticks.
constexpr int shortenedPassTicks = 4 + (8 + 32) * 4;

Song shortenedSong()
{
    Song song = testSong();
    song.songLengthRows = 2 * rowsPerPattern;
    song.positions[1] = 1;
    putCell(song, 4, 7, U"-000");
    return song;
}

std::string soxi(const std::string& option, const std::string& file)
{
    ChildProcess tool({"soxi", option, file});
    EXPECT_TRUE(tool.waitExit(30));
    EXPECT_EQ(tool.exitStatus(), 0) << "soxi " << option << ' ' << file << ": " << tool.standardError();
    return tool.standardOutput();
}

double rmsOfFrames(const std::vector<float>& values, size_t begin, size_t end)
{
    return rms(slice(values, begin, end));
}

} // namespace

TEST_F(ExportTest, TheFileIsStereo16BitPcmOfWholeTicksAtEitherRate)
{
    writeSong("tune.song", shortenedSong());
    // No display to be had: the export needs none.
    ASSERT_EQ(run({"--export", "tune.song", "--loops", "2"}, {"DISPLAY=:987"}).exitStatus(), 0)
        << process->standardError();
    EXPECT_EQ(soxi("-c", path("tune.song.wav")), "2\n");
    EXPECT_EQ(soxi("-b", path("tune.song.wav")), "16\n");
    EXPECT_EQ(soxi("-r", path("tune.song.wav")), "48000\n");
    EXPECT_EQ(soxi("-e", path("tune.song.wav")), "Signed Integer PCM\n");
    // Silent from the start, so no tail: the ticks of two passes exactly.
    int ticks = 4 + 2 * (shortenedPassTicks - 4);
    EXPECT_EQ(soxi("-s", path("tune.song.wav")), std::to_string(frames48k(ticks)) + "\n");

    ASSERT_EQ(run({"--export", "tune.song", "-o", "slow.wav", "--rate", "44100"}).exitStatus(), 0);
    EXPECT_EQ(soxi("-r", path("slow.wav")), "44100\n");
    EXPECT_EQ(soxi("-s", path("slow.wav")), std::to_string(shortenedPassTicks * 882) + "\n");
    EXPECT_TRUE(process->standardError().empty()) << process->standardError();
    EXPECT_EQ(files(), (std::vector<std::string> {"slow.wav", "tune.song", "tune.song.wav"}));
}

TEST_F(ExportTest, TheFirstRowSoundsAtItsPitchAfterTheLeadIn)
{
    Song song = testSong();
    putCell(song, 1, 0, U"y812");  // C4 at the waveform's own rate
    writeSong("c4", song);
    ASSERT_EQ(run({"--export", "c4", "-o", "c4.wav"}).exitStatus(), 0) << process->standardError();
    std::vector<float> left = wav("c4.wav").left();
    ASSERT_GT(left.size(), frames48k(60));
    // Nothing before the player's first row, four ticks in.
    EXPECT_EQ(rmsOfFrames(left, 0, frames48k(4)), 0.0);
    Peak peak = strongestFrequency(slice(left, frames48k(5), frames48k(55)), 48000, 100, 1000);
    EXPECT_NEAR(peak.frequency, 261.6, 0.3);
    EXPECT_GT(peak.amplitude, 0.1);
}

TEST_F(ExportTest, TwoExportsOfOneSongAreTheSameBytes)
{
    Song song = testSong();
    putCell(song, 1, 0, heldC4);
    putCell(song, 2, 4, U"+812");
    putCell(song, 3, 9, U"q612");
    song.instrumentParams[8 + slotPwm] = 7;
    writeSong("busy", song);
    ASSERT_EQ(run({"--export", "busy", "-o", "first.wav"}).exitStatus(), 0);
    ASSERT_EQ(run({"--export", "busy", "-o", "second.wav"}).exitStatus(), 0);
    std::string first = readFileBytes(path("first.wav"));
    EXPECT_GT(first.size(), 44u + frames48k(100) * 4);
    EXPECT_TRUE(first == readFileBytes(path("second.wav")));
}

TEST_F(ExportTest, TheStemsAddUpToTheMix)
{
    Song song = testSong();
    putCell(song, 1, 0, U"y412");
    putCell(song, 2, 2, U"q312");
    putCell(song, 4, 12, U"bA12");
    writeSong("parts", song);
    ASSERT_EQ(run({"--export", "parts", "-o", "parts.wav", "--stems"}).exitStatus(), 0) << process->standardError();
    EXPECT_EQ(files(), (std::vector<std::string> {"parts", "parts-1.wav", "parts-2.wav", "parts-3.wav", "parts-4.wav",
                                                  "parts.wav"}));
    WavContent mix = wav("parts.wav");
    std::vector<WavContent> stems;
    for (int channel = 1; channel <= 4; ++channel) stems.push_back(wav("parts-" + std::to_string(channel) + ".wav"));
    int worst = 0;
    for (const WavContent& stem : stems) ASSERT_EQ(stem.samples.size(), mix.samples.size());
    for (size_t i = 0; i < mix.samples.size(); ++i) {
        int sum = 0;
        for (const WavContent& stem : stems) sum += stem.samples[i];
        worst = std::max(worst, std::abs(sum - mix.samples[i]));
    }
    EXPECT_LE(worst, 2);
    // Each stem holds its own channel only.
    EXPECT_NEAR(strongestFrequency(slice(stems[0].left(), frames48k(5), frames48k(30)), 48000, 100, 1000).frequency,
                261.6, 0.5);
    EXPECT_NEAR(strongestFrequency(slice(stems[1].left(), frames48k(13), frames48k(38)), 48000, 100, 1000).frequency,
                523.2, 1.0);
    EXPECT_EQ(rms(stems[2].left()), 0.0);
    EXPECT_GT(rms(stems[3].left()), 0.01);
}

TEST_F(ExportTest, AHeldNoteEndsInAFadeTwoSecondsAfterTheSong)
{
    Song song = testSong();
    putCell(song, 1, 0, heldC4);
    writeSong("held", song);
    ASSERT_EQ(run({"--export", "held"}).exitStatus(), 0);
    std::vector<float> left = wav("held.wav").left();
    int passTicks = 4 + 32 * 4;
    ASSERT_EQ(left.size(), frames48k(passTicks + 100));
    size_t end = left.size();
    // Full level until the last 10 ms, which fall in a straight line to nothing.
    double before = rmsOfFrames(left, end - 1440, end - 480);
    EXPECT_GT(before, 0.05);
    EXPECT_NEAR(rmsOfFrames(left, end - 480, end - 240), before * 0.76, before * 0.1);
    EXPECT_LT(rmsOfFrames(left, end - 48, end), before * 0.1);
    EXPECT_EQ(left.back(), 0.0f);
}

TEST_F(ExportTest, AFadingNoteEndsTheTailAtTheFirstSilentTick)
{
    Song song = testSong();
    song.instrumentParams[8 + slotEnvelope] = 1;  // gone within 8 ticks
    putCell(song, 1, 31, U"y812");
    writeSong("fading", song);
    ASSERT_EQ(run({"--export", "fading"}).exitStatus(), 0);
    std::vector<float> left = wav("fading.wav").left();
    int passTicks = 4 + 32 * 4;
    ASSERT_GT(left.size(), frames48k(passTicks));
    ASSERT_LT(left.size(), frames48k(passTicks + 20));
    ASSERT_EQ(left.size() % 960, 0u);
    // The last tick is silent, the one before it is not.
    EXPECT_EQ(rmsOfFrames(left, left.size() - 960, left.size()), 0.0);
    EXPECT_GT(rmsOfFrames(left, left.size() - 1920, left.size() - 960), 0.0);
}
