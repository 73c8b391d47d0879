// Bytes → instrument through the instrument file reader: it either reads a
// preset whose values lie in the panel's ranges, which writes back to a text
// that reads as the same preset, or names a bad line inside the text.
#include "song/instrument_file.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <string_view>

namespace {

void checkRanges(const InstrumentPreset& preset)
{
    const auto& s = preset.slots;
    fuzzCheck(s[slotWave] >= 1 && s[slotWave] <= lastOwnWave, "WAV 1-F");
    fuzzCheck(preset.wave.has_value() == isOwnWaveValue(s[slotWave]), "a wave exactly with WAV 8-F");
    fuzzCheck(s[slotEnvelope] >= 1 && s[slotEnvelope] <= 255, "ENV 1-255");
    fuzzCheck(s[slotE2pRpt] >= 0 && s[slotE2pRpt] < 32, "E2P and RPT packed");
    fuzzCheck(s[slotAmtSwp] >= 0 && s[slotAmtSwp] < 256, "AMT and SWP packed");
    for (int slot : {slotPwm, slotArpSpeed}) fuzzCheck(s[slot] >= 0 && s[slot] <= 15, "0-15");
    for (int slot : {slotArpFirst, slotArpSecond}) fuzzCheck(s[slot] >= 0 && s[slot] <= 12, "ARP 0-12");
    fuzzCheck(preset.description.size() <= static_cast<size_t>(descriptionLength), "description fits its field");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > instrumentFileLimit) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    InstrumentReading reading = readInstrumentText(text);
    if (!reading.ok()) {
        const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        fuzzCheck(reading.badLine >= 1 && reading.badLine <= lines, "the bad line is in the text");
        fuzzCheck(!reading.reason.empty(), "a bad line says why");
        return 0;
    }
    checkRanges(reading.preset);
    InstrumentReading again = readInstrumentText(instrumentFileText(reading.preset));
    fuzzCheck(again.ok() && again.preset == reading.preset, "a read instrument writes back as itself");
    return 0;
}
