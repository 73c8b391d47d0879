// The sounds of a song's own waves, one a slot, made again only for a wave
// that changed since its sound was made: a wave edited while a song plays
// costs one small upload, and the channels playing the other slots go on
// untouched. The player and the editor's preview keep one each.
#pragma once

#include "song/own_waves.h"

#include <array>
#include <cstddef>
#include <memory>

class c_Sound;
class gxtkAudio;

class OwnWaveSounds {
public:
    // Makes the sounds of the waves that differ from those made last; an
    // empty slot has none.
    void follow(gxtkAudio* device, const OwnWaves& waves);
    const std::shared_ptr<c_Sound>& operator[](size_t slot) const { return sounds_[slot]; }

private:
    OwnWaves made_;
    std::array<std::shared_ptr<c_Sound>, ownWaveCount> sounds_;
};
