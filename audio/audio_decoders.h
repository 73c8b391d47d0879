// Decoders that turn a WAV or Ogg Vorbis file into PCM samples.
#pragma once

#include "host/decoded_media.h"

#include <cstdio>
#include <optional>

// RIFF/WAVE with a leading "fmt " chunk of integer PCM, then the first "data"
// chunk. Headers that declare no channels, fewer than 8 bits or more data
// than the file holds are rejected.
std::optional<AudioSamples> decodeWav(std::FILE* file);

// Ogg Vorbis through the stb decoder, as interleaved signed 16-bit samples.
// The file is left open.
std::optional<AudioSamples> decodeOgg(std::FILE* file);
