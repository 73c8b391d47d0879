// Reading a sound file of any supported kind into PCM samples, for every host.
#pragma once

#include "audio/audio_decoders.h"
#include "base/text.h"

#include <optional>

// Opens the path (a scheme path or a real one) and decodes it by its
// extension, in any case: ".wav" or ".ogg"; nothing for other names or files
// that do not decode.
std::optional<AudioSamples> loadAudioSamples(const String& path);
