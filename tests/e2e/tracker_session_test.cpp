// A whole session with the real program, driven only by X events: a tune is
// typed, an instrument set with the panel spinners, the song named, saved,
// changed, loaded back and played, and what OpenAL mixed is measured.
#include "song/song_file.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr double captureRate = 48000;

// The song the session types, built directly in the model.
Song expectedSong()
{
    Song song;
    song.patternColumns = blankColumns();
    auto put = [&song](int channel, int row, const char32_t* cell) {
        for (int part = 0; part < 4; ++part) song.patternColumns[channel - 1 + 4 * part][row] = cell[part];
    };
    put(1, 0, U"yF12");   // note, volume, instrument, octave
    put(1, 8, U"qF12");
    put(1, 16, U"<812");
    put(2, 4, U"bF12");
    const int instrumentOne[8] = {3, 0, 0, 0, 2, 0, 0, 0};  // WAV 3, ENV 2
    for (int slot = 0; slot < 8; ++slot) song.instrumentParams[8 + slot] = instrumentOne[slot];
    return song;
}

long long fileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

std::vector<float> window(const std::vector<float>& samples, size_t onset, double fromSeconds, double toSeconds)
{
    return slice(samples, onset + static_cast<size_t>(fromSeconds * captureRate),
                 onset + static_cast<size_t>(toSeconds * captureRate));
}

// The first time, from `from` seconds after the onset on, at which 40 ms of
// sound hold the tone above the level (or below it, when it is to fall).
double toneChange(const std::vector<float>& samples, size_t onset, double frequency, double from, double level,
                  bool rising)
{
    constexpr double latest = 3.0;
    for (double time = from; time < latest; time += 0.005) {
        double amplitude = toneAmplitude(window(samples, onset, time, time + 0.04), captureRate, frequency);
        if (rising ? amplitude > level : amplitude < level) return time;
    }
    return latest;
}

class TrackerSession : public ::testing::Test {
protected:
    TrackerSession()
        : capturePath(audioFolder.path() + "/capture.wav"),
          configPath(audioFolder.write("alsoft.conf", "[general]\ndrivers = wave\nchannels = mono\n"
                                                      "sample-type = int16\nfrequency = 48000\n"
                                                      "[wave]\nfile = " + capturePath + "\n")),
          tracker({"ALSOFT_CONF=" + configPath})
    {
    }

    // Types the tune: channel 1 has C, the C an octave up and a note-off,
    // channel 2 a G, all at the loudest volume except the note-off.
    void typeTune()
    {
        ASSERT_TRUE(tracker.keyEach("space"));
        ASSERT_TRUE(tracker.typeEach("y"));
        ASSERT_TRUE(tracker.keyEach("Right Up"));
        ASSERT_TRUE(tracker.typeEach("f"));
        ASSERT_TRUE(tracker.keyEach("Left Down Down Down Down Down Down Down"));
        ASSERT_TRUE(tracker.typeEach("q"));
        ASSERT_TRUE(tracker.keyEach("Right Up"));
        ASSERT_TRUE(tracker.typeEach("f"));
        ASSERT_TRUE(tracker.keyEach("Left Down Down Down Down Down Down Down"));
        ASSERT_TRUE(tracker.typeEach("<"));
        ASSERT_TRUE(tracker.keyEach("Tab Up Up Up Up Up Up Up Up Up Up Up Up Up"));
        ASSERT_TRUE(tracker.typeEach("b"));
        ASSERT_TRUE(tracker.keyEach("Right Up"));
        ASSERT_TRUE(tracker.typeEach("f"));
    }

    void setInstrumentWithSpinners()
    {
        ASSERT_TRUE(tracker.clickAndSee(585, 176));  // WAV plus, twice
        ASSERT_TRUE(tracker.clickAndSee(585, 176));
        ASSERT_TRUE(tracker.clickAndSee(585, 210));  // ENV plus
    }

    void nameTheSong() { ASSERT_TRUE(tracker.enterSongName("tune")); }

    // Presses a key and waits until the song file is written again.
    bool saveWith(const std::string& key)
    {
        long long before = modificationTime(tracker.songPath("tune"));
        tracker.key(key);
        return waitFor([&] { return modificationTime(tracker.songPath("tune")) != before; }, 20);
    }

    TempFolder audioFolder;
    std::string capturePath;
    std::string configPath;
    TrackerProcess tracker;
};

} // namespace

TEST_F(TrackerSession, TypedTuneIsSavedLoadedAndPlayedAtTheRightPitch)
{
    ASSERT_TRUE(tracker.waitForWindow());
    ASSERT_NO_FATAL_FAILURE(typeTune());
    ASSERT_NO_FATAL_FAILURE(setInstrumentWithSpinners());
    ASSERT_NO_FATAL_FAILURE(nameTheSong());

    ASSERT_TRUE(saveWith("F11"));
    const std::string expected = encodeUtf8(songText(expectedSong()));
    ASSERT_EQ(readFileBytes(tracker.songPath("tune")), expected);

    // Change the pattern, load the saved song back, save again: the same bytes.
    tracker.key("space");
    tracker.type("x");
    tracker.key("F12");
    ASSERT_TRUE(saveWith("F11"));
    EXPECT_EQ(readFileBytes(tracker.songPath("tune")), expected);

    // Play from the start until the sound holds the whole tune: the G's
    // start, the low C's end, the octave's end and 1.2 s of the G alone.
    long long playFrom = fileSize(capturePath);
    size_t from = static_cast<size_t>(playFrom > 44 ? (playFrom - 44) / 2 : 0);
    tracker.key("F1");
    std::vector<float> samples;
    size_t onset = 0;
    double gJoins = 0, lowCEnds = 0, octaveEnds = 0;
    auto tuneCaptured = [&] {
        samples = readCaptureSamples(capturePath);
        onset = firstSoundAfter(samples, from);
        if (onset + static_cast<size_t>(4.5 * captureRate) > samples.size()) return false;
        gJoins = toneChange(samples, onset, 392.0, 0.1, 0.05, true);
        lowCEnds = toneChange(samples, onset, 261.6, gJoins + 0.1, 0.01, false);
        octaveEnds = toneChange(samples, onset, 523.3, lowCEnds + 0.1, 0.01, false);
        return onset + static_cast<size_t>((octaveEnds + 1.2) * captureRate) < samples.size();
    };
    ASSERT_TRUE(waitFor(tuneCaptured, 60)) << "the tune never sounded whole";
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);

    // Rows last 80 ms (speed 4 at 50 steps a second). A busy machine can run
    // an update step late and so move a row, so each part of the tune is
    // measured between the changes found in the sound, which must still come
    // about where the rows put them: the G joins at row 5 (0.32 s), the low C
    // gives way at row 9 (0.64 s), the note-off is on row 17 (1.28 s).
    EXPECT_NEAR(gJoins, 0.32, 0.12);
    EXPECT_NEAR(lowCEnds - gJoins, 0.32, 0.12);
    EXPECT_NEAR(octaveEnds - lowCEnds, 0.64, 0.12);

    // Rows 1-4: the C alone.
    Peak first = strongestFrequency(window(samples, onset, 0.03, gJoins - 0.02), captureRate, 100, 1000);
    EXPECT_NEAR(first.frequency, 261.6, 2.6);
    // Rows 5-8: the G of channel 2 joins.
    std::vector<float> both = window(samples, onset, gJoins + 0.06, lowCEnds - 0.04);
    EXPECT_GT(toneAmplitude(both, captureRate, 392.0), 0.05);
    EXPECT_GT(toneAmplitude(both, captureRate, 261.6), 0.05);
    // The low C lasts until row 9 (its pulse has a strong second harmonic,
    // so the octave-up C is told apart by the low C's end).
    EXPECT_GT(toneAmplitude(window(samples, onset, lowCEnds - 0.1, lowCEnds - 0.04), captureRate, 261.6), 0.05);
    // Rows 9-16: the C an octave up replaces the low C.
    std::vector<float> octaveUp = window(samples, onset, lowCEnds + 0.06, octaveEnds - 0.04);
    EXPECT_NEAR(strongestFrequency(octaveUp, captureRate, 450, 600).frequency, 523.3, 5.2);
    EXPECT_LT(toneAmplitude(octaveUp, captureRate, 261.6), 0.01);
    // From row 17 the note-off leaves channel 2's G alone.
    std::vector<float> afterOff = window(samples, onset, octaveEnds + 0.06, octaveEnds + 1.2);
    EXPECT_NEAR(strongestFrequency(afterOff, captureRate, 100, 1000).frequency, 392.0, 3.9);
    EXPECT_LT(toneAmplitude(afterOff, captureRate, 523.3), 0.01);
}
