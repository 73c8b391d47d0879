// What an export makes: the sample rate, how often the song plays through,
// whether each channel gets a file of its own beside the mix, and the kind
// of file with the lossy encoders' quality and the title in its tags.
#pragma once

#include "export/audio_format.h"

#include <string>

constexpr int updatesPerSecond = 50;  // the player's tick rate
constexpr int exportRates[] = {44100, 48000};
constexpr int lowestQuality = 0, highestQuality = 10;

struct ExportSettings {
    int rate = 48000;
    int loops = 1;
    bool stems = false;
    AudioFormat format = AudioFormat::wav;
    int quality = 5;  // VBR quality of the lossy formats, lowestQuality..highestQuality
    std::string title;  // the song's name, for the file's tags
};

// Audio frames of one player tick: exactly rate / 50.
constexpr int framesPerTick(int rate) { return rate / updatesPerSecond; }
static_assert(framesPerTick(48000) == 960 && framesPerTick(44100) == 882);
