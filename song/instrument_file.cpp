#include "song/instrument_file.h"

#include <algorithm>
#include <charconv>

namespace {

// The parameters as the panel names and clamps them. Two share a slot as
// its high and low nibble; ARP's two offsets take two slots.
struct InstrumentField {
    std::string_view name;
    int slot;
    int minimum, maximum;
    enum Part { whole, lowNibble, highNibble } part;
};

constexpr InstrumentField instrumentFields[] = {
    {"wav", slotWave, 1, lastOwnWave, InstrumentField::whole},  // 8..15 only with a wave line
    {"pwm", slotPwm, 0, 15, InstrumentField::whole},
    {"swp", slotAmtSwp, 0, 15, InstrumentField::highNibble},
    {"env", slotEnvelope, 1, 255, InstrumentField::whole},
    {"e2p", slotE2pRpt, 0, 15, InstrumentField::lowNibble},
    {"arp", slotArpFirst, 0, 12, InstrumentField::whole},  // and slotArpSecond: two numbers
    {"spd", slotArpSpeed, 0, 15, InstrumentField::whole},
    {"amt", slotAmtSwp, 0, 15, InstrumentField::lowNibble},
    {"rpt", slotE2pRpt, 0, 1, InstrumentField::highNibble},
};
constexpr size_t fieldCount = std::size(instrumentFields);
constexpr std::string_view arpName = "arp";
constexpr std::string_view waveName = "wave";

int fieldValue(const InstrumentPreset& preset, const InstrumentField& field)
{
    int value = preset.slots[field.slot];
    if (field.part == InstrumentField::lowNibble) return value % 16;
    if (field.part == InstrumentField::highNibble) return value / 16;
    return value;
}

void setField(InstrumentPreset& preset, const InstrumentField& field, int value)
{
    int& slot = preset.slots[field.slot];
    if (field.part == InstrumentField::lowNibble) slot = slot / 16 * 16 + value;
    else if (field.part == InstrumentField::highNibble) slot = value * 16 + slot % 16;
    else slot = value;
}

std::string_view trimmed(std::string_view text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A whole decimal number and what follows it, blanks skipped.
bool takeNumber(std::string_view& text, int& value)
{
    text = trimmed(text);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return true;
}

bool printable(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 32 && c <= 126; });
}

// 64 samples, -32768..32767, separated by blanks.
std::string readWave(std::string_view value, InstrumentPreset& preset)
{
    const std::string need = "wave needs 64 numbers -32768-32767";
    OwnWave wave {};
    for (int16_t& sample : wave) {
        int number = 0;
        if (!takeNumber(value, number) || number < -32768 || number > 32767) return need;
        sample = static_cast<int16_t>(number);
    }
    if (!trimmed(value).empty()) return need + " and nothing more";
    preset.wave = wave;
    return {};
}

// Reads one "name = value" line into the preset; the reason when it cannot.
std::string applyLine(std::string_view name, std::string_view value, InstrumentPreset& preset)
{
    if (name == waveName) return readWave(value, preset);
    if (name == "description") {
        if (value.size() > static_cast<size_t>(descriptionLength)) return "description longer than 21 characters";
        if (!printable(value)) return "description holds a character the screen cannot show";
        preset.description = widen(value);
        return {};
    }
    auto field = std::find_if(std::begin(instrumentFields), std::end(instrumentFields),
                              [name](const InstrumentField& f) { return f.name == name; });
    if (field == std::end(instrumentFields)) return "unknown setting \"" + std::string(name) + "\"";
    std::string range = std::to_string(field->minimum) + "-" + std::to_string(field->maximum);
    int count = name == arpName ? 2 : 1;
    std::string need = name == arpName ? "two numbers " + range : "a number " + range;
    for (int i = 0; i < count; ++i) {
        int number = 0;
        if (!takeNumber(value, number) || number < field->minimum || number > field->maximum)
            return std::string(name) + " needs " + need;
        if (i == 0) setField(preset, *field, number);
        else preset.slots[slotArpSecond] = number;
    }
    if (!trimmed(value).empty()) return std::string(name) + " needs " + need + " and nothing more";
    return {};
}

// The magic and a version this reader knows.
std::string readMagic(std::string_view line)
{
    if (line.substr(0, instrumentMagic.size()) != instrumentMagic) return "not an instrument file";
    std::string_view rest = line.substr(instrumentMagic.size());
    int version = 0;
    if (!takeNumber(rest, version) || !trimmed(rest).empty()) return "no version after " + std::string(instrumentMagic);
    if (version < 1 || version > instrumentFileVersion)
        return "version " + std::to_string(version) + " is newer than this program reads";
    return {};
}

} // namespace

std::string instrumentFileText(const InstrumentPreset& preset)
{
    std::string text = std::string(instrumentMagic) + " " + std::to_string(instrumentFileVersion) + "\n";
    String description = preset.description;
    while (!description.empty() && description.back() == U' ') description.pop_back();
    text += "description = " + narrow(description) + "\n";
    for (const InstrumentField& field : instrumentFields) {
        text += std::string(field.name) + " = " + std::to_string(fieldValue(preset, field));
        if (field.name == arpName) text += " " + std::to_string(preset.slots[slotArpSecond]);
        text += "\n";
    }
    if (preset.wave) {
        text += std::string(waveName) + " =";
        for (int16_t sample : *preset.wave) text += " " + std::to_string(sample);
        text += "\n";
    }
    return text;
}

// Blank lines and lines starting with "#" are skipped (a description may hold
// "#"); each setting may be given once.
InstrumentReading readInstrumentText(std::string_view text)
{
    InstrumentReading reading;
    bool magicRead = false;
    std::array<bool, fieldCount + 1> seen {};
    int number = 0, wavLine = 0;
    auto fail = [&reading, &number](std::string reason) {
        reading.badLine = number;
        reading.reason = std::move(reason);
        return reading;
    };
    while (!text.empty()) {
        ++number;
        size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;
        if (!magicRead) {
            if (std::string reason = readMagic(line); !reason.empty()) return fail(reason);
            magicRead = true;
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) return fail("expected \"name = value\"");
        std::string_view name = trimmed(line.substr(0, equals));
        auto field = std::find_if(std::begin(instrumentFields), std::end(instrumentFields),
                                  [name](const InstrumentField& f) { return f.name == name; });
        size_t index = field == std::end(instrumentFields) ? fieldCount : static_cast<size_t>(field - instrumentFields);
        // The description and the wave have no field: each is seen by its own mark.
        bool twice = name == waveName ? reading.preset.wave.has_value()
                                      : seen[index] && (index < fieldCount || name == "description");
        if (twice) return fail("\"" + std::string(name) + "\" given twice");
        if (name == "wav") wavLine = number;
        seen[index] = true;
        if (std::string reason = applyLine(name, trimmed(line.substr(equals + 1)), reading.preset); !reason.empty())
            return fail(reason);
    }
    if (!magicRead) return fail("empty: not an instrument file");
    // Own waves have no fixed WAV value: the file's is replaced by the slot
    // the wave lands in, and WAV 1..7 play no wave.
    if (!isOwnWaveValue(reading.preset.slots[slotWave])) reading.preset.wave.reset();
    else if (!reading.preset.wave) {
        number = wavLine;
        return fail("wav 8-15 needs a wave line");
    }
    return reading;
}

InstrumentPreset instrumentOfSong(const Song& song, int instrument)
{
    InstrumentPreset preset;
    for (int slot = 0; slot < slotsPerInstrument; ++slot) preset.slots[slot] = instrumentSlot(song, instrument, slot);
    if (instrument > 0 && instrument < descriptionCount) preset.description = song.instrumentDescriptions[instrument];
    int wave = preset.slots[slotWave];
    if (isOwnWaveValue(wave)) preset.wave = song.ownWaves[static_cast<size_t>(ownWaveSlot(wave))];
    return preset;
}

namespace {
// The slot that holds the wave already, else the first empty one.
std::optional<size_t> slotForWave(const OwnWaves& waves, const OwnWave& wave)
{
    auto same = std::find(waves.begin(), waves.end(), std::optional<OwnWave>(wave));
    if (same == waves.end()) same = std::find(waves.begin(), waves.end(), std::nullopt);
    if (same == waves.end()) return std::nullopt;
    return static_cast<size_t>(same - waves.begin());
}
} // namespace

bool placeInstrument(Song& song, int instrument, const InstrumentPreset& preset)
{
    if (instrument <= 0 || (instrument + 1) * slotsPerInstrument > instrumentValueCount) return false;
    std::array<int, slotsPerInstrument> slots = preset.slots;
    if (preset.wave && isOwnWaveValue(slots[slotWave])) {
        std::optional<size_t> slot = slotForWave(song.ownWaves, *preset.wave);
        if (!slot) return false;
        song.ownWaves[*slot] = preset.wave;
        slots[slotWave] = firstOwnWave + static_cast<int>(*slot);
    }
    std::copy(slots.begin(), slots.end(), song.instrumentParams.begin() + instrument * slotsPerInstrument);
    if (instrument < descriptionCount) song.instrumentDescriptions[instrument] = preset.description.substr(0, descriptionLength);
    return true;
}

String paddedDescription(const String& description)
{
    String padded = description.substr(0, descriptionLength);
    padded.resize(descriptionLength, U' ');
    return padded;
}

bool instrumentInUse(const Song& song, int instrument)
{
    InstrumentPreset preset = instrumentOfSong(song, instrument);
    return preset.slots[slotWave] != 0 || preset.description.find_first_not_of(U' ') != String::npos;
}
