#include "player/own_wave_sounds.h"

#include "audio/sound.h"

void OwnWaveSounds::follow(gxtkAudio* device, const OwnWaves& waves)
{
    for (size_t slot = 0; slot < sounds_.size(); ++slot) {
        const std::optional<OwnWave>& wave = waves[slot];
        // A sound that could not be made (no device yet) is tried again.
        if (wave == made_[slot] && (sounds_[slot] || !wave)) continue;
        sounds_[slot] = wave ? soundOfFrames(device, wave->data(), wave->size(), ownWaveRate) : nullptr;
        made_[slot] = wave;
    }
}
