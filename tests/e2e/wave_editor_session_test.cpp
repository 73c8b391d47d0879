// The waveform editor in the real program, driven by real X key and mouse
// events and heard through the wave writer: a held note follows the wave as
// shapes are chosen and strokes drawn, undo takes them back, and a 600-frame
// single-cycle file from the waves folder sounds at the stock wave's pitch.
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t titleInk = 0xAB2568;
constexpr uint32_t waveInk = 0xC4BEDC;
// The wave's box: 64 columns of 5 pixels from x 32, y 38 to 290.
constexpr int boxLeft = 32, boxTop = 38, boxBottom = 290;
// C of the entry octave on a stock wave: 16744 Hz over 64 frames.
constexpr double stockC = 16744.0 / 64;

class WaveEditorSession : public ::testing::Test {
protected:
    WaveEditorSession() : tracker({capture.environment()}) {}

    void SetUp() override
    {
        ASSERT_TRUE(reader.loaded());
        ASSERT_TRUE(tracker.waitForWindow());
        ASSERT_TRUE(waitForStatus("Standby..."));
    }

    bool waitForStatus(const std::string& text)
    {
        return waitFor([&] { return reader.status(tracker.screenshot()) == text; }, 30);
    }
    bool waitForLine(int n, uint32_t ink, const std::string& text)
    {
        return waitFor([&] { return reader.read(tracker.screenshot(), 0, 12 + 12 * n, text.size(), ink) == text; }, 30);
    }
    bool waitForTitle(const std::string& text) { return waitForLine(0, titleInk, text); }

    // The highest pixel of a column's bar, as drawn.
    static int barTop(const Picture& picture, int column)
    {
        int x = boxLeft + 5 * column + 2;
        for (int y = boxTop; y < boxBottom; ++y)
            if ((picture.at(x, y) & 0xFFFFFF) == waveInk) return y;
        return boxBottom;
    }
    static int columnX(int column) { return boxLeft + 5 * column + 2; }

    // The second harmonic against the first over the last quarter second
    // heard: about 0.5 for a ramp, 0 for a sine.
    double latestSecondHarmonic()
    {
        std::vector<float> heard = capture.samples();
        if (heard.size() < SoundCapture::rate) return -1;
        std::vector<float> last = slice(heard, heard.size() - SoundCapture::rate / 4, heard.size());
        double first = toneAmplitude(last, SoundCapture::rate, stockC);
        return first < 0.005 ? -1 : toneAmplitude(last, SoundCapture::rate, 2 * stockC) / first;
    }
    bool waitForSecondHarmonic(double low, double high)
    {
        return waitFor([&] {
            double ratio = latestSecondHarmonic();
            return ratio >= low && ratio <= high;
        }, 30);
    }

    // Three seconds of the held note from its onset on.
    std::vector<float> heldNote(size_t from)
    {
        size_t onset = 0;
        bool heard = waitFor([&] {
            std::vector<float> samples = capture.samples();
            onset = firstSoundAfter(samples, from);
            return onset + 3.5 * SoundCapture::rate < samples.size();
        }, 30);
        EXPECT_TRUE(heard) << "the held note was not heard";
        return heard ? slice(capture.samples(), onset + 12000, onset + 12000 + 3 * 48000) : std::vector<float>();
    }

    void saveShot(const std::string& name)
    {
        if (const char* folder = std::getenv("KOVO_SHOT_DIR")) tracker.screenshot().savePng(std::string(folder) + "/" + name);
    }

    static SoundCapture capture;
    TrackerProcess tracker;
    ScreenText reader;
};

SoundCapture WaveEditorSession::capture;

void writeFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string sawFile(int frames)
{
    WavLayout layout;
    layout.rate = 44100;
    layout.data = pcm16(sawCycle(frames));
    return wavBytes(layout);
}

} // namespace

// A stock wave is shown as it is; the first shape puts a copy into WAV 08,
// heard at once on the held note; a fast stroke fills every column it crosses;
// undo takes back the stroke and then the shape, redo brings the shape again.
TEST_F(WaveEditorSession, DrawnWavesAreHeardAsTheyChangeAndUndone)
{
    tracker.keyWithControl("w");
    ASSERT_TRUE(waitForTitle("WAV 01 SQUARE: stock, 1st wave"));
    saveShot("wave_editor_stock.png");
    tracker.key("space");
    ASSERT_TRUE(waitForSecondHarmonic(0.4, 0.6)) << "the stock ramp is heard";

    tracker.key("F1");
    ASSERT_TRUE(waitForTitle("WAV 08 own: SINE"));
    ASSERT_TRUE(waitForSecondHarmonic(0, 0.05)) << "the sine replaced the ramp in the held note";

    // Down in column 0, then one jump to column 31: the columns between are drawn too.
    tracker.mouseDown(columnX(0), 45);
    ASSERT_TRUE(waitFor([&] { return barTop(tracker.screenshot(), 0) <= 46; }, 30));
    tracker.moveMouse(columnX(31), 45);
    ASSERT_TRUE(waitFor([&] { return barTop(tracker.screenshot(), 31) <= 46; }, 30));
    tracker.mouseUp();
    Picture drawn = tracker.screenshot();
    for (int column = 0; column <= 31; ++column) EXPECT_LE(barTop(drawn, column), 46) << "column " << column;
    EXPECT_GT(barTop(drawn, 40), 150) << "the second half is the sine's";
    ASSERT_TRUE(waitForTitle("WAV 08 own: drawn"));
    ASSERT_TRUE(waitForSecondHarmonic(0.15, 1)) << "the drawn half is heard";
    saveShot("wave_editor_drawn.png");

    tracker.keyWithControl("z");
    ASSERT_TRUE(waitForTitle("WAV 08 own: SINE"));
    ASSERT_TRUE(waitForSecondHarmonic(0, 0.05));
    tracker.keyWithControl("z");
    ASSERT_TRUE(waitForTitle("WAV 01 SQUARE: stock, 1st wave"));
    tracker.keyWithControl("y");
    ASSERT_TRUE(waitForTitle("WAV 08 own: SINE"));
    tracker.key("Escape");
    ASSERT_TRUE(waitFor([&] { return reader.read(tracker.screenshot(), 484, 168, 6, textInk) == "WAV:08"; }, 30));
}

// 600 frames of a saw from the waves folder: chosen from the list, it plays C
// at the stock wave's pitch within a cent. A typed path to a file too short
// for a cycle is refused and changes nothing.
TEST_F(WaveEditorSession, AnImportedCycleSoundsAtTheStockPitch)
{
    std::string waves = tracker.folder() + "/share/kovo-tracker/waves/";
    writeFile(waves + "saw600.wav", sawFile(600));
    writeFile(waves + "tiny.wav", sawFile(10));
    tracker.keyWithControl("w");
    ASSERT_TRUE(waitForTitle("WAV 01 SQUARE: stock, 1st wave"));
    size_t stockFrom = capture.samples().size();
    tracker.key("space");
    double stock = strongestFrequency(heldNote(stockFrom), SoundCapture::rate, 200, 330).frequency;
    tracker.key("space");
    EXPECT_NEAR(1200 * std::log2(stock / stockC), 0, 1);

    tracker.key("Tab");
    ASSERT_TRUE(waitForLine(3, textInk, "saw600.wav"));
    ASSERT_TRUE(waitForLine(4, textInk, "tiny.wav"));
    saveShot("wave_editor_import_list.png");
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("Wave Imported..."));
    ASSERT_TRUE(waitForTitle("WAV 08 own: saw600"));
    ASSERT_TRUE(waitFor([&] { return firstSoundAfter(capture.samples(), capture.samples().size() - 4800) >= capture.samples().size(); }, 30))
        << "the stock note has stopped";
    size_t importFrom = capture.samples().size();
    tracker.key("space");
    Peak imported = strongestFrequency(heldNote(importFrom), SoundCapture::rate, 200, 330);
    EXPECT_NEAR(1200 * std::log2(imported.frequency / stockC), 0, 1) << imported.frequency << " Hz";
    EXPECT_NEAR(1200 * std::log2(imported.frequency / stock), 0, 1);

    tracker.key("Tab");
    ASSERT_TRUE(waitForLine(3, textInk, "saw600.wav"));
    ASSERT_TRUE(tracker.typeEach(waves + "tiny.wav"));
    tracker.key("Return");
    ASSERT_TRUE(waitForStatus("A wave needs 16 to 4096 frames!"));
    tracker.key("Tab");
    ASSERT_TRUE(waitForTitle("WAV 08 own: saw600"));
}
