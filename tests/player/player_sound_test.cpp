// What a song sounds like: the generated waveforms played by the player and
// mixed by OpenAL Soft into memory, then measured.
#include "song/song_file.h"
#include "audio/sound.h"
#include "base/data_files.h"
#include "base/data_paths.h"
#include "host/glfw_game.h"
#include "player/kovo_play.h"
#include "tests/player/player_fixture.h"
#include "tests/support/loopback_audio.h"
#include "tests/support/signal_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int framesPerTick = LoopbackAudio::sampleRate / 50;

class PlayerSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loopback.ok());
        song.patternColumns = blankColumns();
        // Instrument 1: the saw pair, no detune, a slow envelope.
        const int slots[] = {1, 0, 0, 0, 255, 0, 0, 0};
        for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = slots[slot];
    }
    void TearDown() override
    {
        if (!savedName.empty()) std::remove(narrow(resolveDataPath(songFolder + savedName)).c_str());
    }

    void put(int row, int channel, char32_t note, char32_t volume, char32_t octave)
    {
        const char32_t cells[] = {note, volume, U'1', octave};
        for (int group = 0; group < 4; ++group)
            song.patternColumns[group * 4 + channel - 1][static_cast<size_t>(row)] = cells[group];
    }

    // Saves the song under a name of its own and plays what LOAD reads back.
    void loadThroughFile()
    {
        savedName = U"player-sound-" + intText(getpid()) + U".song";
        ASSERT_EQ(saveSong(song, savedName), SaveOutcome::saved);
        String text = loadText(U"songs/" + savedName);
        ASSERT_FALSE(text.empty());
        Song loaded;
        parseSongText(text, loaded);
        player.play(loaded);
    }

    // The mix of the given ticks, one tick of sound after each.
    std::vector<float> play(int ticks) { return playAndMix(player, loopback, ticks); }

    BBQuorvaneGame game;
    LoopbackAudio loopback;
    c_kovoPlay player;
    Song song;
    String savedName;
};

} // namespace

TEST_F(PlayerSound, TheFirstSongAPlayerTakesLoadsItsWaveforms)
{
    EXPECT_FALSE(player.waveformsLoaded());
    EXPECT_TRUE(player.song().patternColumns[0].empty());
    player.play(song);
    ASSERT_TRUE(player.waveformsLoaded());
    for (const auto& sound : player.waveforms()) EXPECT_TRUE(sound && sound->sample);
}

TEST_F(PlayerSound, NotesSoundAtTheirPitchAndStopAtANoteOff)
{
    // Rows are 4 ticks; row r is read on tick 4 + 4r.
    put(0, 1, U'y', U'8', U'2');
    put(16, 1, U'q', U'8', U'2');
    put(24, 1, U'<', U'0', U'0');
    loadThroughFile();
    EXPECT_EQ(player.song().speed, 4);

    play(4);
    std::vector<float> low = slice(play(64), 4 * framesPerTick, 64 * framesPerTick);
    std::vector<float> high = slice(play(32), 2 * framesPerTick, 32 * framesPerTick);
    std::vector<float> after = slice(play(10), framesPerTick, 10 * framesPerTick);

    Peak lowPeak = strongestFrequency(low, LoopbackAudio::sampleRate, 180, 380);
    Peak highPeak = strongestFrequency(high, LoopbackAudio::sampleRate, 380, 760);
    RecordProperty("low_hz", std::to_string(lowPeak.frequency));
    RecordProperty("high_hz", std::to_string(highPeak.frequency));
    RecordProperty("after_rms", std::to_string(rms(after)));
    EXPECT_NEAR(lowPeak.frequency, 261.63, 2.6);
    EXPECT_GT(lowPeak.amplitude, 0.1);
    EXPECT_NEAR(highPeak.frequency, 2 * 261.63, 5.2);
    EXPECT_GT(highPeak.amplitude, 0.1);
    // Nothing sounds below the note.
    EXPECT_LT(toneAmplitude(high, LoopbackAudio::sampleRate, 261.63), 0.1 * highPeak.amplitude);
    EXPECT_LT(rms(after), 1e-6);
}

TEST_F(PlayerSound, AMutedChannelIsSilentWhileAnotherPlays)
{
    put(0, 1, U'y', U'8', U'2');
    put(0, 2, U'q', U'8', U'2');
    loadThroughFile();
    player.useChannelLevels({0.0f, 1.0f, 1.0f, 1.0f});
    std::vector<float> mix = slice(play(40), 8 * framesPerTick, 40 * framesPerTick);
    RecordProperty("muted_channel_amplitude", std::to_string(toneAmplitude(mix, LoopbackAudio::sampleRate, 261.63)));
    EXPECT_NEAR(strongestFrequency(mix, LoopbackAudio::sampleRate, 180, 760).frequency, 2 * 261.63, 5.2);
    EXPECT_LT(toneAmplitude(mix, LoopbackAudio::sampleRate, 261.63), 0.01);

}

// The stock silent wave is the second oscillator, so what sounds is the
// drawn cycle alone: a cycle of two sine periods sounds an octave above the
// note, with nothing left at the note's own pitch.
TEST_F(PlayerSound, AnOwnWaveSoundsItsShapeAtTheStockPitch)
{
    OwnWave wave {};
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<int16_t>(std::lround(20000 * std::sin(2 * M_PI * 2 * static_cast<double>(i) / 64)));
    song.ownWaves[2] = wave;
    song.instrumentParams[8 + slotWave] = firstOwnWave + 2;
    put(0, 1, U'y', U'8', U'2');
    ASSERT_NO_FATAL_FAILURE(loadThroughFile());
    std::vector<float> sounding = play(20);
    sounding = slice(sounding, sounding.size() / 4, sounding.size());
    const double notePitch = ownWaveRate / 64.0;  // "y" at octave 2, as the stock waves play it
    EXPECT_NEAR(strongestFrequency(sounding, LoopbackAudio::sampleRate, 150, 1000).frequency, 2 * notePitch, 1.0);
    EXPECT_LT(toneAmplitude(sounding, LoopbackAudio::sampleRate, notePitch),
              0.02 * toneAmplitude(sounding, LoopbackAudio::sampleRate, 2 * notePitch));
}
