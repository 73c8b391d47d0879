// The song's own waves in the real program: a song file's wave is heard
// through the wave writer, named on the status row, reachable on the WAV
// spinner only while the song has it, and saved back byte for byte.
#include "song/song_file.h"
#include "tests/support/heard_session.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

constexpr uint32_t textInk = 0x9490A4;

// Instrument 1 plays WAV 8, a cycle of two sine periods, on one long note.
std::string songWithWave()
{
    Song song;
    song.patternColumns = blankColumns();
    const int slots[] = {firstOwnWave, 0, 0, 0, 255, 0, 0, 0};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = slots[slot];
    OwnWave wave {};
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<int16_t>(std::lround(20000 * std::sin(4 * M_PI * static_cast<double>(i) / 64)));
    song.ownWaves[0] = wave;
    const char32_t cells[] = {U'y', U'9', U'1', U'2'};  // 9 holds its level
    for (int group = 0; group < 4; ++group) song.patternColumns[group * 4][0] = cells[group];
    return encodeUtf8(songText(song));
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class OwnWavesSession : public HeardSession {
protected:
    std::string wav() { return reader.read(tracker.screenshot(), 484, 168, 6, textInk); }
    // A click on WAV's plus button that changes nothing shows nothing: a
    // cursor move sent after it shows that it has been taken.
    std::string wavAfterPlus()
    {
        tracker.click(585, 174);
        EXPECT_TRUE(tracker.keyEach("Down"));
        return wav();
    }
};


} // namespace

TEST_F(OwnWavesSession, ASongsWaveIsHeardNamedOfferedAndSavedAsItCame)
{
    const std::string bytes = songWithWave();
    tracker.loadSong("drawn", bytes);
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    ASSERT_TRUE(waitFor([&] { return wav() == "WAV:08"; }, 30));
    ASSERT_TRUE(hoverUntilStatus(500, 172, "WAV 8: the song's own wave 1"));
    tracker.moveMouse(200, 200);

    // Heard an octave above the stock waves' C, with nothing left at the C:
    // the drawn cycle alone, its second oscillator silent.
    size_t heardFrom = capture.samples().size();
    tracker.key("F1");
    std::vector<float> heard = capture.heardAfter(heardFrom, 2400, 21600);
    ASSERT_FALSE(heard.empty()) << "the song was not heard";
    EXPECT_NEAR(strongestFrequency(heard, SoundCapture::rate, 100, 1000).frequency, 523, 4);
    EXPECT_LT(toneAmplitude(heard, SoundCapture::rate, 261.6), 0.05 * toneAmplitude(heard, SoundCapture::rate, 523.3));
    tracker.key("F1");
    ASSERT_TRUE(waitForStatus("Standby..."));

    // WAV reaches 8, which the song has, and no further.
    EXPECT_EQ(wavAfterPlus(), "WAV:08");
    ASSERT_TRUE(tracker.clickAndSee(569, 174));
    EXPECT_EQ(wav(), "WAV:07");
    ASSERT_TRUE(tracker.clickAndSee(585, 174));
    EXPECT_EQ(wav(), "WAV:08");
    tracker.moveMouse(200, 200);

    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("File Saved..."));
    EXPECT_EQ(fileText(tracker.songPath("drawn")), bytes);

    // A new song has no waves of its own: WAV stops at 7 again.
    tracker.key("ctrl+n");
    ASSERT_TRUE(waitForStatus("New Song..."));
    for (int i = 0; i < 8 && wav() != "WAV:07"; ++i) ASSERT_TRUE(tracker.clickAndSee(585, 174));
    ASSERT_EQ(wav(), "WAV:07");
    EXPECT_EQ(wavAfterPlus(), "WAV:07");
}

// A section cut short loads the song with what could be read, says so, and
// a file with no wave section at all loads as it always did.
TEST_F(OwnWavesSession, ACutWaveSectionLoadsTheSongAndSaysSo)
{
    const std::string bytes = songWithWave();
    tracker.loadSong("cut", bytes.substr(0, bytes.size() - 10));
    ASSERT_TRUE(waitForStatus("Loaded; waves damaged!"));
    // Its only wave was cut: WAV 8 names no wave, and the panel holds it to 1-7.
    EXPECT_EQ(wav(), "WAV:07");
    EXPECT_TRUE(waitFor([&] {
        return tracker.process().standardError().find("cut: the song's own waves are damaged") != std::string::npos;
    }, 30)) << tracker.process().standardError();
}
