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

#include <sstream>

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

// The tune's speed: a row lasts four player ticks.
constexpr int speed = 4;

// The player reads a row once the row before it has had its ticks, the
// first one too: row r sounds from this tick on, counted from the first
// tick of the playback.
constexpr int rowStartTick(int row) { return speed * (row + 1); }

// A tick's changes ramp the gain over one mixer period (64 frames in the
// capture's configuration); its sound is judged after that, and only over at
// least 800 frames: the tune's tones lie 130 Hz apart, and a shorter window
// blurs them into each other.
constexpr long long rampFrames = 64;
constexpr long long shortestJudgedFrames = 800;

// Where one player tick took effect in the capture: between the mixer's
// frames first and last (the trace the tracker writes when asked).
struct TracedTick {
    long long first = -1;
    long long last = -1;
};

// The ticks of the first player that ticked, by number.
std::vector<TracedTick> readTickTrace(const std::string& path)
{
    std::vector<TracedTick> ticks;
    std::istringstream lines(readFileBytes(path));
    int player = 0;
    long long tick = 0;
    TracedTick traced;
    while (lines >> player >> tick >> traced.first >> traced.last) {
        if (player != 1 || tick != static_cast<long long>(ticks.size())) continue;
        ticks.push_back(traced);
    }
    return ticks;
}

// The samples that hold nothing but the state ticks from..to-1 left: from
// the last frame the tick from could change to the first one tick to could.
std::vector<float> soundOfTicks(const std::vector<float>& samples, const std::vector<TracedTick>& ticks, int from,
                                int to)
{
    return slice(samples, static_cast<size_t>(ticks[from].last + rampFrames), static_cast<size_t>(ticks[to].first));
}

// Which of the tune's tones sound: the low C, the G and the C an octave up.
// The low C's pulse has a strong second harmonic at the octave, so the
// octave is only told apart where the low C is silent.
struct Tones {
    bool lowC = false;
    bool g = false;
    bool octave = false;
    bool operator==(const Tones& other) const { return lowC == other.lowC && g == other.g && octave == other.octave; }
};

std::string describe(const Tones& tones)
{
    std::string text;
    for (auto [sounds, name] : {std::pair {tones.lowC, "low C"}, {tones.g, "G"}, {tones.octave, "octave C"}})
        if (sounds) text += (text.empty() ? "" : " + ") + std::string(name);
    return text.empty() ? "silence" : text;
}

// The tones a tick of the tune should sound: the low C from row 0, the G of
// channel 2 joining at row 4, the octave replacing the low C at row 8 and
// the note-off ending it at row 16.
Tones expectedTones(int tick)
{
    Tones tones;
    tones.lowC = tick >= rowStartTick(0) && tick < rowStartTick(8);
    tones.g = tick >= rowStartTick(4);
    tones.octave = tick >= rowStartTick(8) && tick < rowStartTick(16);
    return tones;
}

std::string placeInTune(int tick)
{
    if (tick < rowStartTick(0)) return "before the first row";
    return "row " + std::to_string(tick / speed - 1) + ", its tick " + std::to_string(tick % speed);
}

// A tone sounds at about 0.2 and leaks at most about 0.015 into the others'
// frequencies over a tick's sound.
constexpr double toneLevel = 0.08;

Tones heardTones(const std::vector<float>& sound, std::string& amplitudes)
{
    double lowC = toneAmplitude(sound, captureRate, 261.6);
    double g = toneAmplitude(sound, captureRate, 392.0);
    double octave = toneAmplitude(sound, captureRate, 523.3);
    amplitudes = "261.6 Hz " + std::to_string(lowC) + ", 392 Hz " + std::to_string(g) + ", 523.3 Hz " +
                 std::to_string(octave);
    return {lowC > toneLevel, g > toneLevel, octave > toneLevel && lowC <= toneLevel};
}

class TrackerSession : public ::testing::Test {
protected:
    TrackerSession()
        : capturePath(audioFolder.path() + "/capture.wav"),
          tracePath(audioFolder.path() + "/ticks"),
          // Short mixer periods, so that ticks land in the capture a few
          // frames apart from where they were asked for.
          configPath(audioFolder.write("alsoft.conf", "[general]\ndrivers = wave\nchannels = mono\n"
                                                      "sample-type = int16\nfrequency = 48000\nperiod_size = 64\n"
                                                      "[wave]\nfile = " + capturePath + "\n")),
          tracker({"ALSOFT_CONF=" + configPath, "KOVO_TICK_TRACE=" + tracePath})
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
    std::string tracePath;
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

    // Play from the start until the capture holds the whole tune and 1.2 s
    // of the G alone after it.
    tracker.key("F1");
    constexpr int lastTick = rowStartTick(16) + 60;
    std::vector<TracedTick> ticks;
    std::vector<float> samples;
    auto tuneCaptured = [&] {
        ticks = readTickTrace(tracePath);
        if (ticks.size() <= lastTick) return false;
        samples = readCaptureSamples(capturePath);
        return static_cast<long long>(samples.size()) > ticks[lastTick].first;
    };
    ASSERT_TRUE(waitFor(tuneCaptured, 60)) << "the tune never sounded whole";
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
    ASSERT_GE(ticks[0].first, 0) << "the trace places no tick in the sound";

    // Nothing sounds before the first row, and the low C begins where the
    // tick that reads it took effect.
    size_t onset = firstSoundAfter(samples, static_cast<size_t>(ticks[0].first));
    EXPECT_GE(static_cast<long long>(onset), ticks[rowStartTick(0)].first) << "sound before the first row";
    EXPECT_LT(static_cast<long long>(onset), ticks[rowStartTick(0)].last + rampFrames)
        << "the first row sounded late";

    // Tick by tick, each tone starts and ends on the tick its row gives it,
    // however late the machine ran the ticks: a tick is judged by the sound
    // between its changes and the next tick's.
    int judged = 0;
    for (int tick = 0; tick < lastTick; ++tick) {
        std::vector<float> sound = soundOfTicks(samples, ticks, tick, tick + 1);
        if (static_cast<long long>(sound.size()) < shortestJudgedFrames) continue;
        judged += 1;
        std::string amplitudes;
        Tones heard = heardTones(sound, amplitudes);
        EXPECT_TRUE(heard == expectedTones(tick))
            << "tick " << tick << " (" << placeInTune(tick) << ") sounded " << describe(heard) << ", not "
            << describe(expectedTones(tick)) << " (" << amplitudes << ")";
    }
    // A busy machine runs some ticks close together (a third of them at a
    // load of 10 on two cores), but never nearly all.
    EXPECT_GE(judged, lastTick / 4) << "too few ticks far enough apart to be judged";

    // Rows 0-3: the C alone.
    Peak first = strongestFrequency(soundOfTicks(samples, ticks, rowStartTick(0), rowStartTick(4)), captureRate, 100,
                                    1000);
    EXPECT_NEAR(first.frequency, 261.6, 2.6);
    // Rows 4-7: the G of channel 2 joins.
    std::vector<float> both = soundOfTicks(samples, ticks, rowStartTick(4), rowStartTick(8));
    EXPECT_GT(toneAmplitude(both, captureRate, 392.0), 0.05);
    EXPECT_GT(toneAmplitude(both, captureRate, 261.6), 0.05);
    // Rows 8-15: the C an octave up replaces the low C.
    std::vector<float> octaveUp = soundOfTicks(samples, ticks, rowStartTick(8), rowStartTick(16));
    EXPECT_NEAR(strongestFrequency(octaveUp, captureRate, 450, 600).frequency, 523.3, 5.2);
    EXPECT_LT(toneAmplitude(octaveUp, captureRate, 261.6), 0.01);
    // From row 16 the note-off leaves channel 2's G alone.
    std::vector<float> afterOff = soundOfTicks(samples, ticks, rowStartTick(16), lastTick);
    EXPECT_NEAR(strongestFrequency(afterOff, captureRate, 100, 1000).frequency, 392.0, 3.9);
    EXPECT_LT(toneAmplitude(afterOff, captureRate, 523.3), 0.01);
}
