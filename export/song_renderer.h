// A song played by the player on a loopback device of its own and mixed
// into memory one tick at a time: exactly rate / 50 stereo frames a tick.
#pragma once

#include "audio/loopback_device.h"
#include "player/kovo_play.h"

#include <memory>
#include <string>
#include <vector>

// Which channels sound: all four, or one of them (1..4) with the others muted.
constexpr int allChannels = 0;

class SongRenderer {
public:
    // Null, with the reason, when no loopback device can be had. Only one
    // renderer at a time per thread: its device is that thread's.
    static std::unique_ptr<SongRenderer> open(const Song& song, int rate, int soloChannel, std::string& reason);

    // One tick of the song, or with voicesOnly one in which the notes that
    // sound go on and fade without the song moving on. frames gets the tick's
    // interleaved left, right values.
    void renderTick(std::vector<float>& frames, bool voicesOnly = false);

    int framesPerTick() const { return framesPerTick_; }

private:
    SongRenderer(std::unique_ptr<LoopbackDevice> device, const Song& song, int rate, int soloChannel);

    // The device outlives the player, whose sounds live in its buffers.
    std::unique_ptr<LoopbackDevice> device_;
    c_kovoPlay player_;
    int framesPerTick_;
};
