// The waveform editor in the real program, driven by real X key and mouse
// events and heard through the wave writer: a held note follows the wave as
// shapes are chosen and strokes drawn, undo takes them back, and a 600-frame
// single-cycle file from the waves folder sounds at the stock wave's pitch. A
// drawn wave is saved with the song, comes back with it and is exported.
#include "audio/audio_decoders.h"
#include "audio/audio_file_loading.h"
#include "song/song_file.h"
#include "song/wave_shapes.h"
#include "tests/support/child_process.h"
#include "tests/support/heard_session.h"
#include "tests/support/screen_text.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/sound_capture.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"
#include "tests/support/wav_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr uint32_t textInk = 0x9490A4;
constexpr uint32_t titleInk = 0xAB2568;
constexpr uint32_t waveInk = 0xC4BEDC;
// The wave's box: 64 columns of 5 pixels from x 32, y 38 to 290.
constexpr int boxLeft = 32, boxTop = 38, boxBottom = 290;
// C of the entry octave on a stock wave: 16744 Hz over 64 frames.
constexpr double stockC = 16744.0 / 64;

class WaveEditorSession : public HeardSession {
protected:
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
        const std::vector<float>& heard = capture.samples();
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
        std::vector<float> heard = capture.heardAfter(from, 12000, 3 * 48000);
        EXPECT_FALSE(heard.empty()) << "the held note was not heard";
        return heard;
    }

    void saveShot(const std::string& name)
    {
        if (const char* folder = std::getenv("KOVO_SHOT_DIR")) tracker.screenshot().savePng(std::string(folder) + "/" + name);
    }
};


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

std::string fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Instrument 1 on WAV 1 holds C of the entry octave on channel 1 at a level
// that does not fade.
std::string heldNoteSong()
{
    Song song;
    song.patternColumns = blankColumns();
    const int slots[] = {1, 0, 0, 0, 255, 0, 0, 0};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = slots[slot];
    const char32_t cells[] = {U'y', U'9', U'1', U'2'};
    for (int group = 0; group < 4; ++group) song.patternColumns[group * 4][0] = cells[group];
    return encodeUtf8(songText(song));
}

// The wave as the song file keeps it: four hex digits a frame, offset by half the range.
std::string waveDigits(const OwnWave& wave)
{
    std::string digits;
    char frame[5];
    for (int16_t value : wave) {
        std::snprintf(frame, sizeof frame, "%04X", static_cast<unsigned>(value + 32768));
        digits += frame;
    }
    return digits;
}

// The left channel of a 16-bit sound file, as floats.
std::vector<float> leftChannel(const AudioSamples& sound)
{
    std::vector<float> left;
    size_t frameBytes = static_cast<size_t>(sound.channels) * 2;
    for (size_t at = 0; at + frameBytes <= sound.data.size(); at += frameBytes)
        left.push_back(static_cast<float>(static_cast<int16_t>(sound.data[at] | sound.data[at + 1] << 8)) / 32768);
    return left;
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

// The sine chosen in the editor goes into the song's file with it (after the
// song's own layout, four hex digits a frame), comes back with the file in a
// new run, and is what the command-line export plays: a C with no third
// harmonic, where the stock square it replaced has a strong one.
TEST_F(WaveEditorSession, ADrawnWaveIsSavedLoadedAndExportedWithTheSong)
{
    tracker.loadSong("held", heldNoteSong());
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    tracker.keyWithControl("w");
    ASSERT_TRUE(waitForTitle("WAV 01 SQUARE: stock, 1st wave"));
    tracker.key("F1");
    ASSERT_TRUE(waitForTitle("WAV 08 own: SINE"));
    tracker.key("Escape");
    ASSERT_TRUE(waitFor([&] { return reader.read(tracker.screenshot(), 484, 168, 6, textInk) == "WAV:08"; }, 30));
    tracker.key("F11");
    ASSERT_TRUE(waitForStatus("File Saved..."));
    std::string saved = fileBytes(tracker.songPath("held"));
    EXPECT_NE(saved.find("WAVE18" + waveDigits(shapedWave(WaveShape::sine))), std::string::npos);
    ASSERT_TRUE(tracker.closeWindow());

    tracker.restart();
    ASSERT_TRUE(tracker.waitForWindow());
    tracker.loadSong("held", saved);
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    ASSERT_TRUE(waitFor([&] { return reader.read(tracker.screenshot(), 484, 168, 6, textInk) == "WAV:08"; }, 30));
    tracker.keyWithControl("w");
    ASSERT_TRUE(waitForTitle("WAV 08 own: SINE"));
    tracker.key("Escape");

    std::string exported = tracker.folder() + "/held.wav";
    ChildProcess command({programDirectory() + "/kovo-tracker", "--export", tracker.songPath("held"), "-o", exported,
                          "--quiet"});
    ASSERT_TRUE(command.waitExit(240));
    ASSERT_EQ(command.exitStatus(), 0) << command.standardError();
    std::optional<AudioSamples> sound = loadAudioSamples(widen(exported));
    ASSERT_TRUE(sound && sound->bytesPerSample == 2);
    std::vector<float> left = leftChannel(*sound);
    ASSERT_GT(left.size(), static_cast<size_t>(sound->rate));
    std::vector<float> note = slice(left, left.size() / 4, left.size() / 4 + sound->rate / 2);
    double first = toneAmplitude(note, sound->rate, stockC);
    EXPECT_GT(first, 0.01) << "the note is heard in the export";
    EXPECT_LT(toneAmplitude(note, sound->rate, 3 * stockC), 0.05 * first) << "the sine, not the square";
}
