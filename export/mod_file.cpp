#include "export/mod_file.h"

#include "export/song_trace.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

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
constexpr int waveCount = static_cast<int>(waveformPairs.size());
constexpr int mostSamples = 31;
// The samples' names say how many octaves from the note written each one
// sounds (the middle length plays as written), so that the import can fold
// the octave back; "WAV 1 -2 oct +7 cent" (22 characters at most).
constexpr int octavesAsWritten = -1;  // the octave shift of the length that plays as written

constexpr int rowsPerModPattern = 64;
constexpr int modChannels = 4;
constexpr int cellBytes = 4;
constexpr int patternSize = rowsPerModPattern * modChannels * cellBytes;
// A volume digit of 8 at the start of its envelope: the level 1.0. Digits
// up to F (1.875) still fit below the module's 64.
constexpr double volumePerLevel = 32.0;
constexpr int defaultVolume = 32;

// A sample the module holds: a wave pair in one of its lengths, tuned in
// cents. A pair detuned by PWM sounds at the middle of its two oscillators,
// which moves by a share of the note's rate that differs from note to note,
// so its notes ask for samples tuned for them.
struct SampleKey {
    int wave = 0;
    int lengthIndex = 0;
    int cents = 0;
    auto tied() const { return std::tie(wave, lengthIndex, cents); }
    bool operator<(const SampleKey& other) const { return tied() < other.tied(); }
    bool operator==(const SampleKey& other) const { return tied() == other.tied(); }
};

// Steps the tunings are rounded to: to the cent while the samples asked for
// fit the module, else coarser, and at last none (every wave and length
// fits untuned).
constexpr std::array<int, 9> tuningSteps = {1, 2, 3, 4, 6, 8, 12, 25, 1 << 20};
// A tuned sample holds enough cycles that its length, even, moves the
// pitch by under a cent.
constexpr double tunedFrames = 4096;

int roundedTo(int cents, int step)
{
    return static_cast<int>(std::lround(static_cast<double>(cents) / step)) * step;
}

// The samples a song's notes ask for, gathered over a first pass and then
// numbered in order (wave, length, tuning).
class SampleBank {
public:
    SampleKey take(SampleKey wanted)
    {
        if (!settled_) {
            wanted_.insert(wanted);
            return wanted;
        }
        wanted.cents = roundedTo(wanted.cents, step_);
        return wanted;
    }

    void settle()
    {
        for (int step : tuningSteps) {
            std::set<SampleKey> kept;
            for (SampleKey key : wanted_) kept.insert({key.wave, key.lengthIndex, roundedTo(key.cents, step)});
            step_ = step;
            samples_.assign(kept.begin(), kept.end());
            if (samples_.size() <= static_cast<size_t>(mostSamples)) break;
        }
        samples_.resize(std::min(samples_.size(), static_cast<size_t>(mostSamples)));
        settled_ = true;
    }

    // 1-based; 1 while gathering.
    int numberOf(const SampleKey& key) const
    {
        auto found = std::lower_bound(samples_.begin(), samples_.end(), key);
        return std::clamp(static_cast<int>(found - samples_.begin()) + 1, 1, mostSamples);
    }

    const std::vector<SampleKey>& samples() const { return samples_; }

private:
    std::set<SampleKey> wanted_;
    std::vector<SampleKey> samples_;
    int step_ = 1;
    bool settled_ = false;
};

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

double tuning(int cents) { return std::exp2(cents / 1200.0); }

// A module wave is a stock pair (WAV 1-7) or one of the song's own waves
// (8-F), whose samples hold that wave alone.
int moduleWaveOf(const Song& song, int wave)
{
    return holdsOwnWave(song.ownWaves, wave) ? wave : std::clamp(wave, 1, waveCount);
}

// Frames a second of a module wave's loop at the player's rate 1.0.
int waveRateOf(const Song& song, const Waveforms& waves, int wave)
{
    if (holdsOwnWave(song.ownWaves, wave)) return ownWaveRate;
    const WaveformPair* pair = waveformPairOf(wave);
    return pair ? waves[static_cast<size_t>(pair->primary)].rate : 1;
}

// The period that plays a rate of the player with a sample.
double periodOfRate(double rate, const SampleKey& sample, int waveRate)
{
    double loops = std::ldexp(1.0, sampleLengths[static_cast<size_t>(sample.lengthIndex)].octaveShift);
    return rate > 0 ? periodClock * tuning(sample.cents) / (waveRate * rate * loops) : highestPeriod;
}

int noteIndexOf(int pitch, int lengthIndex)
{
    int noteIndex = pitch + 24 + 12 * sampleLengths[static_cast<size_t>(lengthIndex)].octaveShift;
    // Beyond the song's range: moved by whole octaves into the table.
    return (noteIndex % 12 + 12) % 12 + 12 * std::clamp(noteIndex < 0 ? -1 : noteIndex / 12, 0, 2);
}

// One channel's cells, written row by row with what the module player
// already does in mind: its sample, period and volume.
class ModChannel {
public:
    ModChannel(const Song& song, const Waveforms& waves, SampleBank& bank) : song_(song), waves_(waves), bank_(bank)
    {
    }
    ModCell cellFor(const TracedCell& cell, int speed);

private:
    bool startNote(const TracedCell& cell, ModCell& out);
    bool movePitch(const TracedCell& cell, int speed, ModCell& out);
    bool arpeggiate(const TracedCell& cell, ModCell& out) const;
    int waveRate() const;
    double middleOf(const TracedTick& tick) const;
    int centsToTune(double rate, const SampleKey& untuned) const;

    const Song& song_;
    const Waveforms& waves_;
    SampleBank& bank_;
    bool running_ = false;
    int wave_ = 0;
    SampleKey sample_;
    double middle_ = 0;  // added to the primary's rate: where the pair sounds
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
    if (attack) wave_ = moduleWaveOf(song_, cell.wave);
    running_ = true;
    SampleKey sample {wave_, lengthIndexOf(cell.pitch), 0};
    out.period = modPeriod(noteIndexOf(cell.pitch, sample.lengthIndex));
    period_ = out.period * finetuneFactor;
    middle_ = middleOf(cell.ticks.front());
    sample.cents = centsToTune(cell.ticks.front().bentRate + middle_, sample);
    sample = bank_.take(sample);
    // A legato note keeps its sample, and with it the volume, while the
    // sample's length and tuning still reach it.
    if (!attack && sample == sample_) return false;
    sample_ = sample;
    out.sample = bank_.numberOf(sample);
    volume_ = defaultVolume;
    return true;
}

// The pair as it starts: with a secondary that sounds (WAV 1-3) its detune
// moves what is heard to the middle of the two. A sweep turns the detune
// only after the attack, which sets the pitch heard, so it stays as found.
double ModChannel::middleOf(const TracedTick& tick) const
{
    const WaveformPair* pair = waveformPairOf(wave_);
    return pair && pair->secondary != waveSilence ? tick.detune / 2.0 : 0.0;
}

// How far a sample must be tuned to play the rate at the period it starts
// with; untuned without a detune, and for a note the table could not reach.
int ModChannel::centsToTune(double rate, const SampleKey& untuned) const
{
    if (middle_ == 0 || rate <= 0) return 0;
    long cents = std::lround(1200.0 * std::log2(period_ / periodOfRate(rate, untuned, waveRate())));
    return std::abs(cents) <= 150 ? static_cast<int>(cents) : 0;
}

// Slides and the envelope's pitch pull, as the period slide that ends the
// row nearest to where the player's rate ends it. The module slides on all
// ticks of a row but the first.
bool ModChannel::movePitch(const TracedCell& cell, int speed, ModCell& out)
{
    if (speed < 2) return false;
    double target = periodOfRate(cell.ticks.back().bentRate + middle_, sample_, waveRate());
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

int ModChannel::waveRate() const { return waveRateOf(song_, waves_, wave_); }

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

ModPatterns modPatterns(const Song& song, const std::vector<TracedRow>& traced, const Waveforms& waves,
                        SampleBank& bank)
{
    std::vector<ModChannel> channels(modChannels, ModChannel(song, waves, bank));
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
// it grows; 8 bits, with the pair's two oscillators added. A tuned sample
// holds as many cycles as make its length fine enough.
std::vector<int8_t> sampleFrames(const Song& song, const Waveforms& waves, const SampleKey& key)
{
    std::vector<int16_t> primary, secondary;
    if (holdsOwnWave(song.ownWaves, key.wave)) {
        const OwnWave& own = *song.ownWaves[static_cast<size_t>(ownWaveSlot(key.wave))];
        primary.assign(own.begin(), own.end());
    } else {
        const WaveformPair& pair = waveformPairs[static_cast<size_t>(key.wave - 1)];
        primary = waves[static_cast<size_t>(pair.primary)].frames;
        secondary = waves[static_cast<size_t>(pair.secondary)].frames;
    }
    int shift = sampleLengths[static_cast<size_t>(key.lengthIndex)].octaveShift;
    size_t cycle = shift >= 0 ? primary.size() << shift : std::max<size_t>(1, primary.size() >> -shift);
    size_t cycles = key.cents == 0 ? 1 : std::max<size_t>(1, static_cast<size_t>(tunedFrames) / cycle);
    size_t length = cycles == 1 ? cycle : 2 * static_cast<size_t>(std::lround(cycles * cycle / tuning(key.cents) / 2));
    size_t source = cycles * primary.size();
    std::vector<int8_t> frames(length);
    for (size_t i = 0; i < length; ++i) {
        size_t first = i * source / length, end = std::max(first + 1, (i + 1) * source / length);
        double sum = 0;
        for (size_t j = first; j < end; ++j)
            sum += primary[j % primary.size()] + (secondary.empty() ? 0 : secondary[j % secondary.size()]);
        long value = std::lround(sum / static_cast<double>(end - first) / 128.0);
        frames[i] = static_cast<int8_t>(std::clamp(value, -128L, 127L));
    }
    return frames;
}

std::string signedNumber(int value) { return (value > 0 ? "+" : "") + std::to_string(value); }

std::string sampleName(const SampleKey& key)
{
    int octaves = octavesAsWritten - sampleLengths[static_cast<size_t>(key.lengthIndex)].octaveShift;
    std::string name = std::string("WAV ") + "0123456789ABCDEF"[key.wave & 15];  // as the panel shows it
    if (octaves != 0) name += " " + signedNumber(octaves) + " oct";
    if (key.cents != 0) name += " " + signedNumber(key.cents) + " cent";
    return name;
}

} // namespace

int modPeriod(int noteIndex) { return periods[static_cast<size_t>(std::clamp(noteIndex, 0, 35))]; }

std::vector<uint8_t> modFileBytes(const Song& song, const std::string& title, const Waveforms& waves)
{
    std::vector<TracedRow> traced = traceSong(song);
    SampleBank bank;
    modPatterns(song, traced, waves, bank);
    bank.settle();
    ModPatterns patterns = modPatterns(song, traced, waves, bank);
    std::vector<std::vector<int8_t>> samples;
    std::vector<uint8_t> bytes;
    putText(bytes, title, 20);
    for (size_t sample = 0; sample < static_cast<size_t>(mostSamples); ++sample) {
        bool used = sample < bank.samples().size();
        samples.push_back(used ? sampleFrames(song, waves, bank.samples()[sample]) : std::vector<int8_t>());
        putText(bytes, used ? sampleName(bank.samples()[sample]) : "", 22);
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
