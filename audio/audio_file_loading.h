// Reading a sound file of any supported kind into PCM samples, for every host.
#pragma once

#include "audio/audio_decoders.h"
#include "host/game.h"

// Opens the path through the host and decodes it by its extension, in any
// case: ".wav" or ".ogg"; nothing for other names or files that do not decode.
std::optional<AudioSamples> loadAudioSamples(BBGame& game, const String& path);
