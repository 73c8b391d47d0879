// A player on the loopback audio device, with a song built in memory and
// handed to it directly, and eight waveforms of its own: each a long run of
// 64-frame saw cycles, so that a restart shows in the playback offset.
#pragma once

#include "audio/audio_device.h"
#include "audio/sound.h"
#include "host/glfw_game.h"
#include "player/kovo_play.h"
#include "tests/support/loopback_audio.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_file.h"

#include <al.h>
#include <gtest/gtest.h>

// The mix of the given ticks of a player, one tick of sound rendered after each.
inline std::vector<float> playAndMix(c_kovoPlay& player, LoopbackAudio& loopback, int ticks)
{
    std::vector<float> mix;
    for (int i = 0; i < ticks; ++i) {
        player.tickPlayer();
        std::vector<float> part = loopback.render(LoopbackAudio::sampleRate / 50);
        mix.insert(mix.end(), part.begin(), part.end());
    }
    return mix;
}

// An instrument's eight slots, written inline: InstrumentSettings().env(2).
class InstrumentSettings {
public:
    InstrumentSettings& wave(int value) { return set(slotWave, value); }
    InstrumentSettings& pwm(int value) { return set(slotPwm, value); }
    InstrumentSettings& e2pRpt(int value) { return set(slotE2pRpt, value); }
    InstrumentSettings& amtSwp(int value) { return set(slotAmtSwp, value); }
    InstrumentSettings& env(int value) { return set(slotEnvelope, value); }
    InstrumentSettings& arpSpeed(int value) { return set(slotArpSpeed, value); }
    InstrumentSettings& arpFirst(int value) { return set(slotArpFirst, value); }
    InstrumentSettings& arpSecond(int value) { return set(slotArpSecond, value); }

    // WAV 1 (the saw pair) and the slowest envelope unless set otherwise.
    int slots[slotsPerInstrument] = {1, 0, 0, 0, 255, 0, 0, 0};

private:
    InstrumentSettings& set(int slot, int value)
    {
        slots[slot] = value;
        return *this;
    }
};

class PlayerTest : public ::testing::Test {
protected:
    static constexpr int waveformFrames = 64 * 75;

    void SetUp() override
    {
        ASSERT_TRUE(loopback.ok());
        song.patternColumns = blankColumns();
        setInstrument(1, InstrumentSettings());
        std::vector<int16_t> cycles;
        for (int i = 0; i < 75; ++i) {
            std::vector<int16_t> cycle = sawCycle(64);
            cycles.insert(cycles.end(), cycle.begin(), cycle.end());
        }
        c_kovoPlay::Waveforms sounds;
        for (size_t i = 0; i < sounds.size(); ++i) {
            WavLayout layout;
            layout.data = pcm16(cycles);
            std::string path = folder.write("wave" + std::to_string(i) + ".wav", wavBytes(layout));
            sounds[i] = loadSoundFile(widen(path));
            ASSERT_TRUE(sounds[i]);
        }
        player.useWaveforms(sounds);
    }

    // Writes one cell of every column of a channel (1..4) on a row.
    void put(int row, int channel, char32_t note, char32_t volume = U'0', char32_t instrument = U'0',
             char32_t octave = U'0', int pattern = 0)
    {
        size_t index = static_cast<size_t>(pattern * rowsPerPattern + row);
        const char32_t cells[] = {note, volume, instrument, octave};
        for (int group = 0; group < 4; ++group) song.patternColumns[group * 4 + channel - 1][index] = cells[group];
    }

    void setInstrument(int number, const InstrumentSettings& settings)
    {
        for (int slot = 0; slot < slotsPerInstrument; ++slot)
            song.instrumentParams[static_cast<size_t>(number * slotsPerInstrument + slot)] = settings.slots[slot];
    }

    void startPlaying() { player.play(song); }

    // Ticks up to and including the one that reads the next row.
    void playRow()
    {
        int ticks = static_cast<int>(static_cast<float>(player.song().speed) - player.ticksIntoRow()) + 1;
        for (int i = 0; i < ticks; ++i) player.tickPlayer();
    }
    void playRows(int rows)
    {
        for (int i = 0; i < rows; ++i) playRow();
    }

    float pitch(int audioChannel) { return loopback.sourceFloat(audioChannel, AL_PITCH); }
    float gain(int audioChannel) { return loopback.sourceFloat(audioChannel, AL_GAIN); }
    int state(int audioChannel) { return loopback.sourceInt(audioChannel, AL_SOURCE_STATE); }
    int offset(int audioChannel) { return loopback.sourceInt(audioChannel, AL_SAMPLE_OFFSET); }

    // Index of the waveform the channel's source holds, -1 for none.
    int waveform(int audioChannel)
    {
        int buffer = loopback.sourceInt(audioChannel, AL_BUFFER);
        for (size_t i = 0; i < waveformCount; ++i)
            if (buffer != 0 && static_cast<int>(player.waveforms()[i]->sample->buffer) == buffer)
                return static_cast<int>(i);
        return -1;
    }

    BBQuorvaneGame game;
    TempFolder folder;
    LoopbackAudio loopback;
    c_kovoPlay player;
    Song song;
};
