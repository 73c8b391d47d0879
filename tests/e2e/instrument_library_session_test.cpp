// The instrument panel's explanations and the instrument library in the real
// program, driven by real X key and mouse events: an instrument set in one
// song is saved, heard and loaded into another, and taken back by undo.
#include "tests/support/heard_session.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t titleInk = 0xAB2568;
constexpr uint32_t descriptionInk = 0x808080;

class InstrumentLibrarySession : public HeardSession {
protected:

    // A panel line as "WAV:03", and the description as the box shows it.
    std::string parameter(int y) { return reader.read(tracker.screenshot(), 484, y, 6, textInk); }
    std::string description() { return reader.read(tracker.screenshot(), 396, 123, 21, descriptionInk); }
    bool waitForPanel(const std::string& wave, const std::string& pwm, const std::string& text)
    {
        return waitFor([&] { return parameter(168) == wave && parameter(180) == pwm && description() == text; }, 30);
    }
    bool waitForLine(int n, uint32_t ink, const std::string& text)
    {
        return waitFor([&] { return reader.read(tracker.screenshot(), 0, 12 + 12 * n, text.size(), ink) == text; }, 30);
    }

    // Clicks a parameter's plus button until the line shows the value.
    void raise(int y, const std::string& shown)
    {
        for (int i = 0; i < 16 && parameter(y) != shown; ++i) ASSERT_TRUE(tracker.clickAndSee(585, y + 6));
        ASSERT_EQ(parameter(y), shown);
    }
};


std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

// While the pointer rests on a parameter the status row says what it does,
// with the waveform pair's name; elsewhere the status is back.
TEST_F(InstrumentLibrarySession, ThePanelExplainsTheParameterUnderThePointer)
{
    ASSERT_TRUE(hoverUntilStatus(500, 172, "WAV 1-7: waveform pair; now 01 SQUARE"));
    tracker.moveMouse(600, 232);
    ASSERT_TRUE(waitForStatus("ARP 0-C 0-C: two arpeggio steps in semitones at AMT F"));
    tracker.moveMouse(200, 200);
    ASSERT_TRUE(waitForStatus("Standby..."));
}

TEST_F(InstrumentLibrarySession, SavedInOneSongHeardAndLoadedIntoAnotherAndUndone)
{
    raise(168, "WAV:03");
    raise(180, "PWM:05");
    tracker.click(450, 128);
    ASSERT_TRUE(tracker.typeEach("test pulse"));
    tracker.key("Return");
    ASSERT_TRUE(waitForPanel("WAV:03", "PWM:05", "test pulse           "));

    // Saved under the name typed into the find line, whole.
    tracker.moveMouse(200, 200);
    tracker.key("ctrl+i");
    ASSERT_TRUE(waitForLine(0, titleInk, "INSTRUMENTS into instrument 01"));
    ASSERT_TRUE(tracker.typeEach("my-pulse"));
    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("Instrument Saved..."));
    EXPECT_EQ(fileText(tracker.folder() + "/share/kovo-tracker/instruments/my-pulse.instrument"),
              "kovo-instrument 1\ndescription = test pulse\nwav = 3\npwm = 5\nswp = 0\nenv = 1\ne2p = 0\n"
              "arp = 0 0\nspd = 0\namt = 0\nrpt = 0\n");
    ASSERT_TRUE(waitForLine(3, textInk, "my-pulse     test pulse"));
    tracker.key("Escape");

    // Another song: the blank one of Ctrl+N.
    tracker.key("ctrl+n");
    ASSERT_TRUE(waitForStatus("Unsaved changes: Ctrl+N again"));
    tracker.key("ctrl+n");
    ASSERT_TRUE(waitForPanel("WAV:01", "PWM:00", std::string(21, ' ')));

    // F1 sounds a note of it before it is loaded: the pulse's C.
    tracker.key("ctrl+i");
    ASSERT_TRUE(tracker.typeEach("pulse"));
    ASSERT_TRUE(waitForLine(3, textInk, "my-pulse     test pulse"));
    size_t heardFrom = capture.samples().size();
    tracker.key("F1");
    std::vector<float> heard = capture.heardAfter(heardFrom, 2400, 21600);
    ASSERT_FALSE(heard.empty()) << "the audition was not heard";
    // The pair's detune (PWM 5) moves the strongest line by a few hertz, depending on where the slice
    // falls in the sweep; within half a semitone it is still the C and no other note.
    EXPECT_NEAR(strongestFrequency(heard, SoundCapture::rate, 100, 1000).frequency, 262, 7);
    EXPECT_EQ(parameter(168), "WAV:01") << "an audition loads nothing";

    // Enter takes it into the current instrument; Ctrl+Z takes it back, Ctrl+Y again.
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("Instrument Loaded..."));
    ASSERT_TRUE(waitForPanel("WAV:03", "PWM:05", "test pulse           "));
    tracker.key("ctrl+z");
    ASSERT_TRUE(waitForPanel("WAV:01", "PWM:00", std::string(21, ' ')));
    tracker.key("ctrl+y");
    ASSERT_TRUE(waitForPanel("WAV:03", "PWM:05", "test pulse           "));
}
