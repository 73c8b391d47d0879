// Plain 16-bit mono PCM WAV files.
#pragma once

#include <cstdint>
#include <vector>

// The whole file: a 44-byte RIFF/WAVE header ("fmt " of 16 bytes, then
// "data") followed by the samples, little-endian.
std::vector<unsigned char> encodeWav(const std::vector<int16_t>& samples, int rate);
