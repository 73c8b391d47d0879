#include "song/own_wave_section.h"

#include <algorithm>

namespace {

constexpr int sampleOffset = 32768;

char32_t storedSample(int16_t sample) { return static_cast<char32_t>(sample + sampleOffset); }
int16_t readSample(char32_t stored) { return static_cast<int16_t>(static_cast<int>(stored & 0xFFFF) - sampleOffset); }

// One wave's record at index; false when the text ends inside it or its WAV
// value names no slot.
bool readRecord(const String& text, size_t index, OwnWaves& waves)
{
    if (text.size() - index < ownWaveRecordLength) return false;
    char32_t wave = text[index];
    if (wave > static_cast<char32_t>(lastOwnWave) || !isOwnWaveValue(static_cast<int>(wave))) return false;
    std::optional<OwnWave>& slot = waves[static_cast<size_t>(ownWaveSlot(static_cast<int>(wave)))];
    if (slot) return false;  // named twice
    OwnWave samples {};
    std::transform(text.begin() + static_cast<std::ptrdiff_t>(index + 1),
                   text.begin() + static_cast<std::ptrdiff_t>(index + ownWaveRecordLength), samples.begin(), readSample);
    slot = samples;
    return true;
}

} // namespace

void appendOwnWaveSection(String& out, const OwnWaves& waves)
{
    auto count = std::count_if(waves.begin(), waves.end(), [](const auto& wave) { return wave.has_value(); });
    if (count == 0) return;
    out += ownWaveTag;
    out += static_cast<char32_t>(count);
    for (int slot = 0; slot < ownWaveCount; ++slot) {
        const std::optional<OwnWave>& wave = waves[static_cast<size_t>(slot)];
        if (!wave) continue;
        out += static_cast<char32_t>(firstOwnWave + slot);
        for (int16_t sample : *wave) out += storedSample(sample);
    }
}

OwnWavesRead readOwnWaveSection(const String& text, size_t index, OwnWaves& waves)
{
    waves = OwnWaves {};
    // Anything else after the layout was ignored before waves existed: it still is.
    if (index >= text.size() || text.compare(index, ownWaveTagLength, ownWaveTag) != 0) return OwnWavesRead::none;
    index += ownWaveTagLength;
    if (index >= text.size()) return OwnWavesRead::damaged;
    char32_t count = text[index++];
    if (count < 1 || count > static_cast<char32_t>(ownWaveCount)) return OwnWavesRead::damaged;
    for (char32_t n = 0; n < count; ++n, index += ownWaveRecordLength)
        if (!readRecord(text, index, waves)) return OwnWavesRead::damaged;
    return OwnWavesRead::whole;
}
