// Modules of other trackers (MOD, XM, S3M, IT) read through libopenmpt and
// made into a song of this program: four channels, 32-row patterns, the
// notes folded into the grid's range and the stock waveforms.
#pragma once

#include "song/song_model.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Largest module file taken: far above a four-channel module's size, far
// below what would exhaust memory while libopenmpt holds it.
constexpr size_t moduleFileLimit = 16 * 1024 * 1024;

// Whether a file name ends in ".mod", ".xm", ".s3m" or ".it", in any case.
bool namesModule(std::string_view fileName);

// The song the module's bytes make, or nothing when libopenmpt refuses them.
std::optional<Song> importModule(const std::vector<unsigned char>& bytes);

// The same for a module file (a real path): nothing also for a file that
// cannot be read or holds more than moduleFileLimit bytes.
std::optional<Song> importModuleFile(const std::string& path);
