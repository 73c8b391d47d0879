#include "song/own_wave_section.h"

#include <algorithm>

namespace {

constexpr int sampleOffset = 32768;
constexpr char32_t hexDigits[] = U"0123456789ABCDEF";

void appendHex(String& out, int value, size_t digits)
{
    for (size_t i = digits; i-- > 0;) out += hexDigits[(value >> (4 * i)) & 15];
}

// The value of digits upper-case hexadecimal digits at index; -1 for any
// other character.
int hexAt(const String& text, size_t index, size_t digits)
{
    int value = 0;
    for (size_t i = index; i < index + digits; ++i) {
        const char32_t* digit = std::find(hexDigits, hexDigits + 16, text[i]);
        if (digit == hexDigits + 16) return -1;
        value = value * 16 + static_cast<int>(digit - hexDigits);
    }
    return value;
}

// One wave's record at index; false when the text ends inside it, its WAV
// value names no slot or a slot already read, or a sample is no number.
bool readRecord(const String& text, size_t index, OwnWaves& waves)
{
    if (text.size() - index < ownWaveRecordLength) return false;
    int wave = hexAt(text, index, 1);
    if (!isOwnWaveValue(wave) || waves[static_cast<size_t>(ownWaveSlot(wave))]) return false;
    OwnWave samples {};
    for (size_t frame = 0; frame < samples.size(); ++frame) {
        int stored = hexAt(text, index + 1 + frame * ownWaveSampleDigits, ownWaveSampleDigits);
        if (stored < 0) return false;
        samples[frame] = static_cast<int16_t>(stored - sampleOffset);
    }
    waves[static_cast<size_t>(ownWaveSlot(wave))] = samples;
    return true;
}

} // namespace

void appendOwnWaveSection(String& out, const OwnWaves& waves)
{
    auto count = std::count_if(waves.begin(), waves.end(), [](const auto& wave) { return wave.has_value(); });
    if (count == 0) return;
    out += ownWaveTag;
    appendHex(out, static_cast<int>(count), 1);
    for (int slot = 0; slot < ownWaveCount; ++slot) {
        const std::optional<OwnWave>& wave = waves[static_cast<size_t>(slot)];
        if (!wave) continue;
        appendHex(out, firstOwnWave + slot, 1);
        for (int16_t sample : *wave) appendHex(out, sample + sampleOffset, ownWaveSampleDigits);
    }
}

OwnWavesRead readOwnWaveSection(const String& text, size_t index, OwnWaves& waves)
{
    waves = OwnWaves {};
    // Anything else after the layout was ignored before waves existed: it still is.
    String head = index < text.size() ? text.substr(index, ownWaveTagLength) : String();
    bool tagCut = !head.empty() && head.size() < ownWaveTagLength && String(ownWaveTag).compare(0, head.size(), head) == 0;
    if (tagCut) return OwnWavesRead::damaged;
    if (head != ownWaveTag) return OwnWavesRead::none;
    index += ownWaveTagLength;
    int count = index < text.size() ? hexAt(text, index++, 1) : -1;
    if (count < 1 || count > ownWaveCount) return OwnWavesRead::damaged;
    for (int n = 0; n < count; ++n, index += ownWaveRecordLength)
        if (!readRecord(text, index, waves)) return OwnWavesRead::damaged;
    return OwnWavesRead::whole;
}
