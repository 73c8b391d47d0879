// Decoders that turn a WAV or Ogg Vorbis file into PCM samples.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <vector>

struct AudioSamples {
    std::vector<unsigned char> data;  // interleaved PCM: 8-bit unsigned or 16-bit signed
    int length = 0;                   // whole sample frames
    int channels = 0;
    int bytesPerSample = 0;
    int rate = 0;
};

// RIFF/WAVE with a leading "fmt " chunk of integer PCM, then the first "data"
// chunk. Headers that declare no channels, fewer than 8 bits or more data
// than the file holds are rejected.
std::optional<AudioSamples> decodeWav(std::FILE* file);

// Decoded Ogg data beyond this is refused: a small file can describe hours of
// sound, and a fuzzed one nearly 2^64 bytes.
constexpr size_t maxDecodedOggBytes = size_t {256} << 20;

// Ogg Vorbis through libvorbisfile, as interleaved signed 16-bit little-endian
// samples; null when the file cannot be decoded or would decode to more than
// maxBytes. The file is left open.
std::optional<AudioSamples> decodeOgg(std::FILE* file, size_t maxBytes = maxDecodedOggBytes);
