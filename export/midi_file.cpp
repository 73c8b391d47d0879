#include "export/midi_file.h"

#include "export/song_trace.h"
#include "song/waveform_table.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// General MIDI programs (0-based) nearest each wave pair 1..7: square lead
// for the pulses, ocarina for the triangle, saw lead for the lone ramp,
// oboe for the reed, and the seashore's noise.
constexpr std::array<int, 7> programOfWave = {80, 80, 80, 79, 81, 68, 122};
static_assert(programOfWave.size() == waveformPairs.size());
// An own wave may be any shape: the saw lead, the brightest of the synth leads.
constexpr int programOfOwnWave = 81;

int programOf(int wave)
{
    return isOwnWaveValue(wave) ? programOfOwnWave : programOfWave[static_cast<size_t>(std::clamp(wave, 1, 7) - 1)];
}

constexpr int microsecondsPerTick = 20000;  // the player's 50 Hz
constexpr int bendCentre = 8192;

enum Status : uint8_t { noteOffStatus = 0x80, noteOnStatus = 0x90, controlStatus = 0xB0, programStatus = 0xC0,
                        bendStatus = 0xE0 };
enum Meta : uint8_t { trackNameMeta = 0x03, instrumentNameMeta = 0x04, tempoMeta = 0x51, endMeta = 0x2F };
constexpr uint8_t expressionControl = 11;

// A track's events, each after its delta time.
class TrackWriter {
public:
    void event(long tick, std::initializer_list<uint8_t> bytes)
    {
        delta(tick);
        bytes_.insert(bytes_.end(), bytes);
    }

    void meta(long tick, uint8_t type, const std::string& data)
    {
        delta(tick);
        bytes_.insert(bytes_.end(), {0xFF, type});
        quantity(data.size());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }

    // The track chunk, ended at tick.
    std::vector<uint8_t> chunk(long tick)
    {
        meta(tick, endMeta, "");
        std::vector<uint8_t> out = {'M', 'T', 'r', 'k'};
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(bytes_.size() >> shift));
        out.insert(out.end(), bytes_.begin(), bytes_.end());
        return out;
    }

private:
    void delta(long tick)
    {
        quantity(static_cast<size_t>(std::max(0L, tick - last_)));
        last_ = std::max(last_, tick);
    }

    // A variable-length quantity: seven bits a byte, the high bit on all but the last.
    void quantity(size_t value)
    {
        uint8_t groups[5];
        int count = 0;
        do groups[count++] = static_cast<uint8_t>(value & 0x7F);
        while ((value >>= 7) != 0 && count < 5);
        while (count-- > 0) bytes_.push_back(static_cast<uint8_t>(groups[count] | (count > 0 ? 0x80 : 0)));
    }

    std::vector<uint8_t> bytes_;
    long last_ = 0;
};

std::string instrumentName(const Song& song, int instrument)
{
    std::string name = instrument > 0 && instrument < descriptionCount
                           ? narrow(song.instrumentDescriptions[static_cast<size_t>(instrument)])
                           : std::string();
    name.erase(name.find_last_not_of(' ') + 1);
    return name.empty() ? "Instrument " + std::to_string(instrument) : name;
}

// One channel's notes: a key sounds from its attack (or legato note) until
// a note-off, the next note, the envelope's end or the song's end; the
// player's pitch around the key as pitch bend, its envelope as expression.
class MidiChannel {
public:
    MidiChannel(const Song& song, int channel) : song_(song), channel_(static_cast<uint8_t>(channel)) {}

    std::vector<uint8_t> track(const std::vector<TracedRow>& rows, int speed);

private:
    void begin();
    void row(const TracedCell& cell, long tick);
    void startKey(const TracedCell& cell, long tick);
    void endKey(long tick);
    void follow(const TracedTick& traced, long tick);

    const Song& song_;
    uint8_t channel_;
    TrackWriter writer_;
    int key_ = -1;  // the key down, or -1
    int volumeDigit_ = 8;
    int instrument_ = -1;
    float startLevel_ = 0;
    int bend_ = bendCentre;
    int expression_ = 127;
};

std::vector<uint8_t> MidiChannel::track(const std::vector<TracedRow>& rows, int speed)
{
    begin();
    long tick = 0;
    for (const TracedRow& traced : rows) {
        const TracedCell& cell = traced.cells[channel_];
        row(cell, tick);
        for (size_t k = 0; k < cell.ticks.size(); ++k) follow(cell.ticks[k], tick + static_cast<long>(k));
        tick += speed;
    }
    endKey(tick);
    return writer_.chunk(tick);
}

// The track's name, and its bend range through the registered parameter 0.
void MidiChannel::begin()
{
    writer_.meta(0, trackNameMeta, "Channel " + std::to_string(channel_ + 1));
    uint8_t control = controlStatus | channel_;
    writer_.event(0, {control, 101, 0});
    writer_.event(0, {control, 100, 0});
    writer_.event(0, {control, 6, midiBendRange});
    writer_.event(0, {control, 38, 0});
}

void MidiChannel::row(const TracedCell& cell, long tick)
{
    if (cell.volumeDigit > 0) volumeDigit_ = cell.volumeDigit;
    if (cell.start == NoteStart::stop) endKey(tick);
    bool legato = cell.start == NoteStart::legato && key_ >= 0;
    if ((cell.start == NoteStart::attack && cell.wave != 0) || legato) startKey(cell, tick);
}

void MidiChannel::startKey(const TracedCell& cell, long tick)
{
    endKey(tick);
    if (cell.ticks.empty() || cell.ticks.front().level <= 0) return;
    if (cell.instrument != instrument_) {
        instrument_ = cell.instrument;
        writer_.meta(tick, instrumentNameMeta, instrumentName(song_, instrument_));
        writer_.event(tick, {static_cast<uint8_t>(programStatus | channel_),
                             static_cast<uint8_t>(programOf(cell.wave))});
    }
    key_ = midiKeyOf(cell.pitch);
    startLevel_ = cell.ticks.front().level;
    if (expression_ != 127) writer_.event(tick, {static_cast<uint8_t>(controlStatus | channel_), expressionControl, 127});
    expression_ = 127;
    writer_.event(tick, {static_cast<uint8_t>(noteOnStatus | channel_), static_cast<uint8_t>(key_),
                         static_cast<uint8_t>(midiVelocityOf(volumeDigit_))});
}

void MidiChannel::endKey(long tick)
{
    if (key_ < 0) return;
    writer_.event(tick, {static_cast<uint8_t>(noteOffStatus | channel_), static_cast<uint8_t>(key_), 0});
    key_ = -1;
}

void MidiChannel::follow(const TracedTick& traced, long tick)
{
    if (key_ < 0) return;
    if (traced.level <= 0) return endKey(tick);
    double semitones = rateSemitones(traced.rate) - (key_ - 60);
    int bend = std::clamp(static_cast<int>(std::lround(bendCentre + semitones / midiBendRange * bendCentre)), 0, 16383);
    if (bend != bend_) {
        bend_ = bend;
        writer_.event(tick, {static_cast<uint8_t>(bendStatus | channel_), static_cast<uint8_t>(bend & 0x7F),
                             static_cast<uint8_t>(bend >> 7)});
    }
    int expression = std::clamp(static_cast<int>(std::lround(127 * traced.level / startLevel_)), 1, 127);
    if (expression != expression_) {
        expression_ = expression;
        writer_.event(tick, {static_cast<uint8_t>(controlStatus | channel_), expressionControl,
                             static_cast<uint8_t>(expression)});
    }
}

std::vector<uint8_t> tempoTrack(const std::string& title, int speed, long endTick)
{
    TrackWriter writer;
    writer.meta(0, trackNameMeta, title);
    int tempo = midiRowsPerBeat * speed * microsecondsPerTick;
    writer.meta(0, tempoMeta, {static_cast<char>(tempo >> 16), static_cast<char>(tempo >> 8), static_cast<char>(tempo)});
    return writer.chunk(endTick);
}

} // namespace

int midiKeyOf(int pitch) { return std::clamp(60 + pitch, 0, 127); }

int midiVelocityOf(int volumeDigit) { return std::clamp(volumeDigit, 1, 15) * 127 / 15; }

std::vector<uint8_t> midiFileBytes(const Song& song, const std::string& title)
{
    std::vector<TracedRow> rows = traceSong(song);
    int speed = std::clamp(song.speed, 1, 16);
    int division = midiRowsPerBeat * speed;
    std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, channelCount + 1, 0,
                                  static_cast<uint8_t>(division)};
    auto append = [&](const std::vector<uint8_t>& chunk) { bytes.insert(bytes.end(), chunk.begin(), chunk.end()); };
    append(tempoTrack(title, speed, static_cast<long>(rows.size()) * speed));
    for (int channel = 0; channel < channelCount; ++channel) append(MidiChannel(song, channel).track(rows, speed));
    return bytes;
}
