#include "export/mod_file.h"

#include "export/song_trace.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr std::array<int, 36> periods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  // C-1..B-1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  // C-2..B-2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  // C-3..B-3
};
constexpr int highestPeriod = 856, lowestPeriod = 113;
// A PAL Amiga's, which plays period 428 at 8287 frames a second; the table
// is reckoned for 8363, so every sample is tuned up by finetune +1 (an
// eighth of a semitone) to meet it.
constexpr double periodClock = 3546895.0;
constexpr int sampleFinetune = 1;
constexpr double finetuneFactor = 0.992806;  // 2^(-1/96): what finetune +1 does to a period

// A wave in one of its lengths: each covers two octaves of the song's
// pitches (semitones from middle C) so that a note starts at least half an
// octave inside the table and slides have room both ways.
struct SampleLength {
    int octaveShift;   // the sample holds the loop 2^octaveShift times as long
    int highestPitch;  // of the song's pitches it takes
};
constexpr std::array<SampleLength, 3> sampleLengths = {{{1, -7}, {-1, 17}, {-3, 1000}}};
constexpr int samplesPerWave = static_cast<int>(sampleLengths.size());
constexpr int waveCount = static_cast<int>(waveformPairs.size());
static_assert(waveCount * samplesPerWave <= 31, "a module holds 31 samples");

constexpr int rowsPerModPattern = 64;
constexpr int modChannels = 4;
constexpr int cellBytes = 4;
constexpr int patternSize = rowsPerModPattern * modChannels * cellBytes;
// A volume digit of 8 at the start of its envelope: the level 1.0. Digits
// up to F (1.875) still fit below the module's 64.
constexpr double volumePerLevel = 32.0;
constexpr int defaultVolume = 32;

enum Effect { arpeggio = 0x0, slideUp = 0x1, slideDown = 0x2, patternBreak = 0xD, setVolume = 0xC, setSpeed = 0xF };

struct ModCell {
    int period = 0;
    int sample = 0;
    int effect = 0;
    int param = 0;
    bool hasEffect() const { return effect != 0 || param != 0; }
};

using ModRow = std::array<ModCell, modChannels>;

int volumeOf(float level) { return std::clamp(static_cast<int>(std::lround(level * volumePerLevel)), 0, 64); }

int lengthIndexOf(int pitch)
{
    int index = 0;
    while (pitch > sampleLengths[static_cast<size_t>(index)].highestPitch) ++index;
    return index;
}

// The period that plays a rate of the player with the sample of a length.
double periodOfRate(double rate, int lengthIndex, int waveRate)
{
    double loops = std::ldexp(1.0, sampleLengths[static_cast<size_t>(lengthIndex)].octaveShift);
    return rate > 0 ? periodClock / (waveRate * rate * loops) : highestPeriod;
}

// One channel's cells, written row by row with what the module player
// already does in mind: its sample, period and volume.
class ModChannel {
public:
    ModChannel(const Song& song, const Waveforms& waves) : song_(song), waves_(waves) {}
    ModCell cellFor(const TracedCell& cell, int speed);

private:
    bool startNote(const TracedCell& cell, ModCell& out);
    bool movePitch(const TracedCell& cell, int speed, ModCell& out);
    bool arpeggiate(const TracedCell& cell, ModCell& out) const;
    int waveRate() const;

    const Song& song_;
    const Waveforms& waves_;
    bool running_ = false;
    int wave_ = 0;
    int lengthIndex_ = 0;
    double period_ = 0;
    int volume_ = 0;
};

// One effect a row: a new sample's volume first, then the pitch a slide or
// the envelope moved, then the arpeggio, then the envelope's level.
ModCell ModChannel::cellFor(const TracedCell& cell, int speed)
{
    ModCell out;
    if (cell.start == NoteStart::stop) {
        running_ = false;
        if (volume_ == 0) return out;
        volume_ = 0;
        return {0, 0, setVolume, 0};
    }
    bool volumeReset = startNote(cell, out);
    if (!running_) return out;
    int volume = volumeOf(cell.ticks.front().level);
    if (!volumeReset && (movePitch(cell, speed, out) || arpeggiate(cell, out))) return out;
    if (volume != volume_) {
        out.effect = setVolume;
        out.param = volume_ = volume;
    }
    return out;
}

// A new sample number gives the sample's own volume back: true then.
bool ModChannel::startNote(const TracedCell& cell, ModCell& out)
{
    bool attack = cell.start == NoteStart::attack && cell.wave != 0;
    if (!attack && !(cell.start == NoteStart::legato && running_)) return false;
    if (attack) wave_ = cell.wave;
    running_ = true;
    ModNote note = modNoteOf(wave_, cell.pitch);
    int lengthIndex = (note.sample - 1) % samplesPerWave;
    out.period = modPeriod(note.noteIndex);
    period_ = out.period * finetuneFactor;
    // A legato note keeps its sample, and with it the volume, while the
    // sample's length still reaches it.
    if (!attack && lengthIndex == lengthIndex_) return false;
    lengthIndex_ = lengthIndex;
    out.sample = note.sample;
    volume_ = defaultVolume;
    return true;
}

// Slides and the envelope's pitch pull, as the period slide that ends the
// row nearest to where the player's rate ends it. The module slides on all
// ticks of a row but the first.
bool ModChannel::movePitch(const TracedCell& cell, int speed, ModCell& out)
{
    if (speed < 2) return false;
    double target = periodOfRate(cell.ticks.back().bentRate, lengthIndex_, waveRate());
    target = std::clamp(target, static_cast<double>(lowestPeriod), static_cast<double>(highestPeriod));
    long step = std::lround((period_ - target) / (speed - 1));
    if (step == 0) return false;
    int amount = static_cast<int>(std::min(std::labs(step), 255L));
    out.effect = step > 0 ? slideUp : slideDown;
    out.param = amount;
    period_ += (step > 0 ? -1 : 1) * amount * (speed - 1);
    period_ = std::clamp(period_, static_cast<double>(lowestPeriod), static_cast<double>(highestPeriod));
    return true;
}

// The arpeggio in whole semitones, while the player's is running.
bool ModChannel::arpeggiate(const TracedCell& cell, ModCell& out) const
{
    bool running = std::any_of(cell.ticks.begin(), cell.ticks.end(), [](const TracedTick& t) { return t.arp != 0; });
    int speed = instrumentSlot(song_, cell.instrument, slotArpSpeed);
    if (!running || speed == 0) return false;
    int depth = instrumentSlot(song_, cell.instrument, slotAmtSwp) % 16;
    auto semitones = [&](int slot) {
        return std::clamp(static_cast<int>(std::lround(depth * instrumentSlot(song_, cell.instrument, slot) / 15.0)), 0,
                          15);
    };
    int param = semitones(slotArpFirst) * 16 + semitones(slotArpSecond);
    if (param == 0) return false;
    out.effect = arpeggio;
    out.param = param;
    return true;
}

int ModChannel::waveRate() const
{
    const WaveformPair* pair = waveformPairOf(wave_);
    return pair ? waves_[static_cast<size_t>(pair->primary)].rate : 1;
}

// Puts an effect on a row in the first channel from the right that has
// none, or channel 4's when all have one.
void placeEffect(ModRow& row, int effect, int param)
{
    auto free = std::find_if(row.rbegin(), row.rend(), [](const ModCell& cell) { return !cell.hasEffect(); });
    ModCell& cell = free != row.rend() ? *free : row.back();
    cell.effect = effect;
    cell.param = param;
}

void putBigEndian16(std::vector<uint8_t>& bytes, int value)
{
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
}

void putText(std::vector<uint8_t>& bytes, const std::string& text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        bytes.push_back(c == 0 || (c >= 32 && c < 127) ? c : '?');
    }
}

std::vector<uint8_t> modPatternBytes(const std::vector<ModRow>& rows)
{
    std::vector<uint8_t> bytes(patternSize, 0);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < modChannels; ++c) {
            const ModCell& cell = rows[r][c];
            uint8_t* at = &bytes[(r * modChannels + c) * cellBytes];
            at[0] = static_cast<uint8_t>((cell.sample & 0xF0) | (cell.period >> 8));
            at[1] = static_cast<uint8_t>(cell.period & 0xFF);
            at[2] = static_cast<uint8_t>((cell.sample & 0x0F) << 4 | cell.effect);
            at[3] = static_cast<uint8_t>(cell.param);
        }
    return bytes;
}

// Each position played becomes a pattern of its rows, the last of them
// breaking to the next; positions that come out alike share one.
struct ModPatterns {
    std::vector<std::vector<uint8_t>> patterns;
    std::vector<int> order;
};

ModPatterns modPatterns(const Song& song, const Waveforms& waves)
{
    std::vector<TracedRow> traced = traceSong(song);
    std::vector<ModChannel> channels(modChannels, ModChannel(song, waves));
    int speed = std::clamp(song.speed, 1, 16);
    ModPatterns out;
    std::map<std::vector<uint8_t>, int> known;
    std::vector<ModRow> rows;
    for (const TracedRow& row : traced) {
        ModRow& modRow = rows.emplace_back();
        for (size_t c = 0; c < modChannels; ++c) modRow[c] = channels[c].cellFor(row.cells[c], speed);
        if (out.order.empty() && rows.size() == 1) placeEffect(modRow, setSpeed, speed);
        if (!row.endsPattern && rows.size() < static_cast<size_t>(rowsPerPattern) && &row != &traced.back()) continue;
        placeEffect(modRow, patternBreak, 0);
        std::vector<uint8_t> bytes = modPatternBytes(rows);
        auto found = known.emplace(bytes, static_cast<int>(out.patterns.size()));
        if (found.second) out.patterns.push_back(std::move(bytes));
        out.order.push_back(found.first->second);
        rows.clear();
    }
    return out;
}

// The loop resampled to its length: averaged where it shrinks, held where
// it grows; 8 bits, with the pair's two oscillators added.
std::vector<int8_t> sampleFrames(const Waveforms& waves, int wave, int lengthIndex)
{
    const WaveformPair& pair = waveformPairs[static_cast<size_t>(wave - 1)];
    const std::vector<int16_t>& primary = waves[static_cast<size_t>(pair.primary)].frames;
    const std::vector<int16_t>& secondary = waves[static_cast<size_t>(pair.secondary)].frames;
    int shift = sampleLengths[static_cast<size_t>(lengthIndex)].octaveShift;
    size_t length = shift >= 0 ? primary.size() << shift : std::max<size_t>(1, primary.size() >> -shift);
    std::vector<int8_t> frames(length);
    for (size_t i = 0; i < length; ++i) {
        size_t first = i * primary.size() / length, end = std::max(first + 1, (i + 1) * primary.size() / length);
        double sum = 0;
        for (size_t j = first; j < end; ++j)
            sum += primary[j] + (secondary.empty() ? 0 : secondary[j % secondary.size()]);
        long value = std::lround(sum / static_cast<double>(end - first) / 128.0);
        frames[i] = static_cast<int8_t>(std::clamp(value, -128L, 127L));
    }
    return frames;
}

} // namespace

ModNote modNoteOf(int wave, int pitch)
{
    int lengthIndex = lengthIndexOf(pitch);
    int noteIndex = pitch + 24 + 12 * sampleLengths[static_cast<size_t>(lengthIndex)].octaveShift;
    // Beyond the song's range: moved by whole octaves into the table.
    noteIndex = (noteIndex % 12 + 12) % 12 + 12 * std::clamp(noteIndex < 0 ? -1 : noteIndex / 12, 0, 2);
    return {(std::clamp(wave, 1, waveCount) - 1) * samplesPerWave + lengthIndex + 1, noteIndex};
}

int modPeriod(int noteIndex) { return periods[static_cast<size_t>(std::clamp(noteIndex, 0, 35))]; }

std::vector<uint8_t> modFileBytes(const Song& song, const std::string& title, const Waveforms& waves)
{
    ModPatterns patterns = modPatterns(song, waves);
    std::vector<std::vector<int8_t>> samples;
    std::vector<uint8_t> bytes;
    putText(bytes, title, 20);
    for (int sample = 0; sample < 31; ++sample) {
        int wave = sample / samplesPerWave + 1, lengthIndex = sample % samplesPerWave;
        bool used = wave <= waveCount;
        samples.push_back(used ? sampleFrames(waves, wave, lengthIndex) : std::vector<int8_t>());
        std::string name = used ? "WAV " + std::to_string(wave) + " x" + std::to_string(lengthIndex + 1) : "";
        putText(bytes, name, 22);
        int words = static_cast<int>(samples.back().size() / 2);
        putBigEndian16(bytes, words);
        bytes.push_back(used ? sampleFinetune : 0);
        bytes.push_back(used ? defaultVolume : 0);
        putBigEndian16(bytes, 0);
        putBigEndian16(bytes, std::max(words, 1));  // the whole sample loops
    }
    bytes.push_back(static_cast<uint8_t>(patterns.order.size()));
    bytes.push_back(127);
    for (size_t i = 0; i < 128; ++i) bytes.push_back(i < patterns.order.size() ? patterns.order[i] : 0);
    // Past 64 patterns ProTracker's own mark says so.
    std::string mark = patterns.patterns.size() > 64 ? "M!K!" : "M.K.";
    bytes.insert(bytes.end(), mark.begin(), mark.end());
    for (const std::vector<uint8_t>& pattern : patterns.patterns) bytes.insert(bytes.end(), pattern.begin(), pattern.end());
    for (const std::vector<int8_t>& frames : samples)
        for (int8_t frame : frames) bytes.push_back(static_cast<uint8_t>(frame));
    return bytes;
}
