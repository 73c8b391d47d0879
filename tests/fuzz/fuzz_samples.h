// Sample files through the audio library's loader, which picks the decoder by the
// file name's extension.
#pragma once

#include "audio/audio_decoders.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Loads the bytes as a file of that name and checks that what was decoded is
// a layout the audio device can be handed, its frames inside the data.
std::optional<AudioSamples> checkDecodedSamples(const std::string& name, const uint8_t* data, size_t size);
