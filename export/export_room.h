// Whether an export's files can be written at all, known before any sound is
// made: a WAV file counts its sizes in 32 bits, and no file outgrows the free
// space of its disk. Finding either out hours into a render helps nobody.
#pragma once

#include "export/export_settings.h"

#include <cstdint>
#include <string>
#include <vector>

// The most sample data a WAV file can hold: the RIFF size field counts
// everything after itself in 32 bits, and the header with its tags takes a
// little of that.
constexpr uint64_t largestWavData = 0xFFFFFFFFull - 4096;

// The fewest bytes a file of the format takes for that many frames of sound,
// whatever the sound: exact for WAV, the encoder's smallest frames for the
// others.
uint64_t leastFileBytes(AudioFormat format, int rate, long long frames);

// The most ticks of sound the files at the targets can take, and why no
// more fit. noRoomLimit ticks (and no reason) when nothing is known.
struct RoomLimit {
    long long ticks;
    std::string reason;
};
constexpr long long noRoomLimit = 1LL << 50;

RoomLimit roomFor(const std::vector<std::string>& targets, const ExportSettings& settings);
