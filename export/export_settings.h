// What an export makes: the sample rate, how often the song plays through,
// and whether each channel gets a file of its own beside the mix.
#pragma once

constexpr int updatesPerSecond = 50;  // the player's tick rate
constexpr int exportRates[] = {44100, 48000};

struct ExportSettings {
    int rate = 48000;
    int loops = 1;
    bool stems = false;
};

// Audio frames of one player tick: exactly rate / 50.
constexpr int framesPerTick(int rate) { return rate / updatesPerSecond; }
static_assert(framesPerTick(48000) == 960 && framesPerTick(44100) == 882);
