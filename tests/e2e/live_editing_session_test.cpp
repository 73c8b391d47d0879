// Composing while the song plays, with the real program driven by X events
// and what OpenAL mixed captured by its wave writer: a note typed live is
// heard on the next pass and saved, Ctrl+Z takes it back out of what is
// heard, an instrument changed live is heard, and a looped pattern repeats
// until Ctrl+L releases it.
#include "song/song_file.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr double captureRate = SoundCapture::rate;
// Far from each other's harmonics: the pulse's overtones are strong.
constexpr double lowC = 261.63, lowE = 329.63, lowG = 392.0;
// One pass of a pattern: 32 rows of 80 ms.
constexpr double patternSeconds = 2.56;
// A note of the test songs fades out within a third of a second: sound
// measured this long after the screen shows a key's effect holds nothing
// from before it.
constexpr double ringSeconds = 0.5;
constexpr uint32_t textInk = 0x9490A4, statusInk = 0xAB2568;

// Channel 1 plays a note on the first row of each pattern given, at the
// volume whose envelope fades it out (ENV 2: in a third of a second).
Song songOfPatterns(const std::vector<char32_t>& notes)
{
    Song song;
    song.patternColumns = blankColumns();
    for (size_t pattern = 0; pattern < notes.size(); ++pattern) {
        const char32_t cell[] = {notes[pattern], U'8', U'1', U'2'};
        for (int part = 0; part < 4; ++part) song.patternColumns[4 * part][pattern * rowsPerPattern] = cell[part];
        song.positions[pattern] = static_cast<int>(pattern);
    }
    song.songLengthRows = static_cast<int>(notes.size()) * rowsPerPattern;
    const int instrumentOne[8] = {3, 0, 0, 0, 2, 0, 0, 0};  // WAV 3 (a pulse), ENV 2
    for (int slot = 0; slot < 8; ++slot) song.instrumentParams[8 + slot] = instrumentOne[slot];
    return song;
}

class LiveEditingSession : public ::testing::Test {
protected:
    LiveEditingSession() : tracker({capture.environment()}) {}

    size_t captured() const { return capture.samples().size(); }
    // Waits until the screen shows what a key did, then gives the sound of
    // the given passes from a note's ring after that.
    std::vector<float> passesAfterShown(const std::function<bool()>& shown, double passes)
    {
        EXPECT_TRUE(waitFor(shown, 30)) << "the key's effect never showed";
        size_t from = captured() + static_cast<size_t>(ringSeconds * captureRate);
        return secondsAfter(from, passes * patternSeconds);
    }
    bool statusStartsWith(const std::string& text)
    {
        return reader.read(tracker.screenshot(), 473, -1, 15, statusInk).rfind(text, 0) == 0;
    }
    // Saves with F11 and waits until the file changed; the song it holds.
    Song savedSong()
    {
        long long before = modificationTime(tracker.songPath("live"));
        tracker.key("F11");
        EXPECT_TRUE(waitFor([&] { return modificationTime(tracker.songPath("live")) != before; }, 20));
        Song saved;
        parseSongText(widen(readFileBytes(tracker.songPath("live"))), saved);
        return saved;
    }
    // Waits until the capture holds the given seconds after a sample, and
    // gives them.
    std::vector<float> secondsAfter(size_t from, double seconds)
    {
        size_t end = from + static_cast<size_t>(seconds * captureRate);
        bool whole = waitFor([&] { return capture.samples().size() >= end; }, 60);
        EXPECT_TRUE(whole) << "the capture stopped growing";
        const std::vector<float>& samples = capture.samples();
        return slice(samples, from, std::min(end, samples.size()));
    }
    // The strongest amplitude of the tone in any 40 ms of the sound.
    static double loudest(const std::vector<float>& sound, double frequency)
    {
        double most = 0;
        size_t length = static_cast<size_t>(0.04 * captureRate);
        for (size_t at = 0; at + length <= sound.size(); at += length / 2)
            most = std::max(most, toneAmplitude(slice(sound, at, at + length), captureRate, frequency));
        return most;
    }

    // The share of 40 ms stretches of the sound that hold the tone.
    static double soundingShare(const std::vector<float>& sound, double frequency)
    {
        size_t length = static_cast<size_t>(0.04 * captureRate), stretches = 0, sounding = 0;
        for (size_t at = 0; at + length <= sound.size(); at += length, ++stretches)
            if (toneAmplitude(slice(sound, at, at + length), captureRate, frequency) > 0.02) sounding += 1;
        return stretches ? static_cast<double>(sounding) / static_cast<double>(stretches) : 0;
    }

    void start(const Song& song)
    {
        ASSERT_TRUE(tracker.waitForWindow());
        tracker.loadSong("live", encodeUtf8(songText(song)));
        ASSERT_TRUE(waitFor([&] { return readFileBytes(tracker.songPath("live")).size() > 0; }, 30));
    }

    SoundCapture capture;
    TrackerProcess tracker;
    const ScreenText reader;
};

} // namespace

TEST_F(LiveEditingSession, ANoteTypedLiveIsHeardOnTheNextPassSavedAndUndoneWhilePlaying)
{
    Song song = songOfPatterns({U'y'});
    ASSERT_NO_FATAL_FAILURE(start(song));
    // Editing, the cursor on row 18 (index 17), then Ctrl+R plays from
    // there on with live editing.
    ASSERT_TRUE(tracker.keyEach("space"));
    for (int i = 0; i < 17; ++i) ASSERT_TRUE(tracker.keyEach("Down"));
    tracker.keyWithControl("r");
    std::vector<float> untouched = passesAfterShown([&] { return statusStartsWith("Recording..."); }, 1);
    ASSERT_GT(loudest(untouched, lowC), 0.05) << "the song never started";
    double quiet = loudest(untouched, lowE);

    // The typed E is in what F11 saves, and sounds on the next passes.
    ASSERT_TRUE(tracker.typeEach("c"));
    Song saved = savedSong();
    double heard = loudest(secondsAfter(captured(), 2 * patternSeconds), lowE);
    EXPECT_GT(heard, 0.05) << "the typed note was never heard";
    EXPECT_GT(heard, 5 * quiet);
    const char32_t written[] = {U'c', U'8', U'1', U'2'};
    for (int part = 0; part < 4; ++part) {
        EXPECT_EQ(saved.patternColumns[4 * part][17], written[part]) << part;
        song.patternColumns[4 * part][17] = written[part];
    }
    EXPECT_EQ(saved.patternColumns, song.patternColumns);

    // Ctrl+Z while playing (the save after it no longer holds the note): two
    // whole passes hold the C of the first row and not the typed note.
    tracker.keyWithControl("z");
    Song undone = savedSong();
    EXPECT_EQ(undone.patternColumns, songOfPatterns({U'y'}).patternColumns);
    std::vector<float> after = passesAfterShown([] { return true; }, 2);
    EXPECT_GT(loudest(after, lowC), 0.05);
    EXPECT_LT(loudest(after, lowE), heard / 5) << "heard " << heard << ", before " << quiet;
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
}

// Position 0 plays a C, position 1 a G. Whichever pattern plays when Ctrl+L
// comes repeats alone; after Ctrl+L again both are heard.
TEST_F(LiveEditingSession, ALoopedPatternRepeatsUntilCtrlLReleasesIt)
{
    ASSERT_NO_FATAL_FAILURE(start(songOfPatterns({U'y', U'b'})));
    tracker.key("F1");
    // Either pattern may be playing by the time the status shows.
    std::vector<float> playing = passesAfterShown([&] { return statusStartsWith("Playing..."); }, 1);
    ASSERT_GT(std::max(loudest(playing, lowC), loudest(playing, lowG)), 0.05) << "the song never started";
    tracker.keyWithControl("l");
    std::vector<float> loop = passesAfterShown([&] { return statusStartsWith("Loop pattern"); }, 3);
    double c = loudest(loop, lowC), g = loudest(loop, lowG);
    double tone = c > g ? lowC : lowG;
    EXPECT_GT(std::max(c, g), 0.05);
    EXPECT_LT(std::min(c, g), std::max(c, g) / 5) << "C " << c << ", G " << g;
    // Every pass of the window holds the looped pattern's note.
    for (int pass = 0; pass < 3; ++pass) {
        size_t from = static_cast<size_t>(pass * patternSeconds * captureRate);
        size_t to = static_cast<size_t>((pass + 1) * patternSeconds * captureRate);
        EXPECT_GT(loudest(slice(loop, from, to), tone), 0.05) << "pass " << pass;
    }

    tracker.keyWithControl("l");
    std::vector<float> song = passesAfterShown([&] { return statusStartsWith("Playing..."); }, 3);
    EXPECT_GT(loudest(song, lowC), 0.05);
    EXPECT_GT(loudest(song, lowG), 0.05);
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
}

// The ENV spinner clicked while live: the C of the first row, which faded in
// a third of a second, rings on for over a second from then on.
TEST_F(LiveEditingSession, AnInstrumentChangedLiveIsHeardAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(start(songOfPatterns({U'y'})));
    tracker.keyWithControl("r");
    std::vector<float> recording = passesAfterShown([&] { return statusStartsWith("Recording..."); }, 2);
    ASSERT_GT(loudest(recording, lowC), 0.05) << "the song never started";
    double shortNote = soundingShare(recording, lowC);
    for (int click = 0; click < 8; ++click) tracker.click(585, 210);  // ENV 2 to 10
    auto envelopeShown = [&] { return reader.read(tracker.screenshot(), 385, 204, 15, textInk) == "         ENV:0A"; };
    double longNote = soundingShare(passesAfterShown(envelopeShown, 2), lowC);
    EXPECT_GT(longNote, 3 * shortNote) << "before " << shortNote << ", after " << longNote;
    ASSERT_TRUE(tracker.closeWindow());
    EXPECT_EQ(tracker.process().exitStatus(), 0);
}
