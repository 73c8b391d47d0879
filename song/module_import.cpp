#include "song/module_import.h"

#include "base/file_loading.h"
#include "song/wave_likeness.h"

#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt_ext.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace {

// libopenmpt's note values: 1..120 are C-0..B-9; 253..255 fade, cut and
// release the note.
constexpr int lowestModuleNote = 1;
constexpr int highestModuleNote = 120;
constexpr int firstNoteEnd = 253;
// A module's C-5 (note 61) is middle C, this grid's C-2 (pitch 24), as the
// clipboard takes it.
constexpr int moduleNoteOfPitchZero = 61 - 24;
constexpr int highestPitch = 3 * 12 + 28;
// The grid writes a pitch with the entry octave 2 where it reaches it.
constexpr int preferredOctave = 2;
constexpr int instrumentsHere = 15;
// A module's full volume is 64; here full level is digit 8 (1.0), so that
// the instrument's envelope can fade it to silence.
constexpr int moduleFullVolume = 64;
constexpr int fullDigit = 8;
// A module's tempo 125 is 50 ticks a second, this player's rate.
constexpr int ticksTempo = 125;
// Envelopes: a tone holds for seconds, a noise (a drum) dies in 16 ticks.
constexpr int toneEnvelope = 255;
constexpr int noiseEnvelope = 2;

// What a module may cost: channels looked at (the rest are dropped, as are
// rows past the song's 99 positions), and the sound recorded to hear each
// of the 15 instruments.
constexpr int channelsRead = 64;
constexpr int measureRate = 24000;
constexpr size_t settleFrames = 256;
constexpr size_t measuredFrames = 2048;
constexpr int measuredNote = 60;  // middle C of play_note

// The effect letters that matter here, as libopenmpt shows them: MOD and XM
// set the volume with "C", glide with "3" and break a pattern with "D"; S3M
// and IT glide with "G" and break with "C"; "B" jumps in all of them. The
// volume column's "v" sets the volume, its "g" glides.
struct Letters {
    char volume;
    char glide;
    char patternBreak;
};
constexpr Letters modLetters = {'C', '3', 'D'};
constexpr Letters itLetters = {0, 'G', 'C'};
constexpr char positionJump = 'B';

struct ModuleFree {
    void operator()(openmpt_module_ext* module) const { openmpt_module_ext_destroy(module); }
};
using ModuleHandle = std::unique_ptr<openmpt_module_ext, ModuleFree>;

// One channel's cell as the module holds it.
struct ModuleCell {
    int note = 0;
    int instrument = 0;
    int volume = -1;  // none
    bool glide = false;
};

// A 32-row stretch of a module pattern: what a position here plays.
struct Stretch {
    int pattern;
    int firstRow;
    int rows;
};

char firstLetter(openmpt_module* module, const Stretch& at, int row, int channel, int command)
{
    const char* text = openmpt_module_format_pattern_row_channel_command(module, at.pattern, at.firstRow + row,
                                                                          channel, command);
    char letter = text ? text[0] : 0;
    openmpt_free_string(text);
    return letter;
}

int commandOf(openmpt_module* module, const Stretch& at, int row, int channel, int command)
{
    return openmpt_module_get_pattern_row_channel_command(module, at.pattern, at.firstRow + row, channel, command);
}

ModuleCell readCell(openmpt_module* module, const Letters& letters, const Stretch& at, int row, int channel)
{
    ModuleCell cell;
    cell.note = commandOf(module, at, row, channel, OPENMPT_MODULE_COMMAND_NOTE);
    cell.instrument = commandOf(module, at, row, channel, OPENMPT_MODULE_COMMAND_INSTRUMENT);
    char volumeLetter = firstLetter(module, at, row, channel, OPENMPT_MODULE_COMMAND_VOLUMEEFFECT);
    char effectLetter = firstLetter(module, at, row, channel, OPENMPT_MODULE_COMMAND_EFFECT);
    if (volumeLetter == 'v') cell.volume = commandOf(module, at, row, channel, OPENMPT_MODULE_COMMAND_VOLUME);
    if (letters.volume && effectLetter == letters.volume)
        cell.volume = commandOf(module, at, row, channel, OPENMPT_MODULE_COMMAND_PARAMETER);
    cell.glide = volumeLetter == 'g' || effectLetter == letters.glide;
    return cell;
}

// The rows of a pattern that play: up to the first row that breaks it or
// jumps away (where a jump leads is not followed: the order list goes on).
int rowsPlayed(openmpt_module* module, const Letters& letters, int pattern)
{
    int rows = openmpt_module_get_pattern_num_rows(module, pattern);
    int channels = std::min(openmpt_module_get_num_channels(module), channelsRead);
    Stretch whole {pattern, 0, rows};
    for (int row = 0; row < rows; ++row) {
        for (int channel = 0; channel < channels; ++channel) {
            char letter = firstLetter(module, whole, row, channel, OPENMPT_MODULE_COMMAND_EFFECT);
            if (letter == letters.patternBreak || letter == positionJump) return row + 1;
        }
    }
    return rows;
}

// The positions: every order's pattern in 32-row stretches, until the
// song's 99 positions are full.
std::vector<Stretch> stretchesOf(openmpt_module* module, const Letters& letters)
{
    std::vector<Stretch> stretches;
    std::map<int, int> rowsOf;
    int orders = openmpt_module_get_num_orders(module);
    int patterns = openmpt_module_get_num_patterns(module);
    for (int order = 0; order < orders && stretches.size() < size_t(maxSongPositions); ++order) {
        int pattern = openmpt_module_get_order_pattern(module, order);
        if (pattern < 0 || pattern >= patterns) continue;  // a separator or the end mark
        // Orders repeat patterns: each is looked through once.
        auto [known, isNew] = rowsOf.emplace(pattern, 0);
        if (isNew) known->second = rowsPlayed(module, letters, pattern);
        int rows = known->second;
        for (int first = 0; first < rows && stretches.size() < size_t(maxSongPositions); first += rowsPerPattern)
            stretches.push_back({pattern, first, std::min(rowsPerPattern, rows - first)});
    }
    return stretches;
}

// The four channels with the most notes, in their own order (ties go to the
// earlier channel).
std::array<int, channelCount> busiestChannels(openmpt_module* module, const std::vector<Stretch>& stretches)
{
    int channels = std::min(openmpt_module_get_num_channels(module), channelsRead);
    std::vector<std::pair<int, int>> counts;  // minus the notes, the channel
    for (int channel = 0; channel < channels; ++channel) {
        int notes = 0;
        for (const Stretch& at : stretches) {
            for (int row = 0; row < at.rows; ++row) {
                int note = commandOf(module, at, row, channel, OPENMPT_MODULE_COMMAND_NOTE);
                notes += note >= lowestModuleNote && note <= highestModuleNote;
            }
        }
        counts.emplace_back(-notes, channel);
    }
    std::sort(counts.begin(), counts.end());
    std::vector<int> busiest;
    for (size_t i = 0; i < counts.size() && i < size_t(channelCount); ++i) busiest.push_back(counts[i].second);
    std::sort(busiest.begin(), busiest.end());
    std::array<int, channelCount> chosen {};
    chosen.fill(-1);  // a module of fewer channels leaves the rest empty
    std::copy(busiest.begin(), busiest.end(), chosen.begin());
    return chosen;
}

// 0..64 as 0..8; only 0 stays 0, which is silence.
int volumeDigit(int volume) { return volume <= 0 ? 0 : std::clamp((volume * fullDigit + 32) / moduleFullVolume, 1, fullDigit); }

// A module instrument as one of the 15 here: 16 is 1 again, and so on.
int instrumentHere(int instrument) { return (instrument - 1) % instrumentsHere + 1; }

// Octaves a sample sounds from the notes written, as this program names the
// samples of the modules it writes ("WAV 1 -2 oct", "WAV 3 +2 oct +5 cent"),
// which play each wave in a few lengths; 0 for any other name.
int octavesNamed(const char* name)
{
    unsigned wave = 0;
    int octaves = 0, read = 0;
    if (!name || std::sscanf(name, "WAV %x %d oct%n", &wave, &octaves, &read) != 2 || read == 0) return 0;
    char after = name[read];
    return (after == 0 || after == ' ') && std::abs(octaves) <= 9 ? octaves : 0;
}

// The octaves of each sample number (0 unused), named in a module of samples
// only: in one with instruments the samples are the instruments' business.
std::vector<int> sampleOctaves(openmpt_module* module)
{
    std::vector<int> octaves(1, 0);
    if (openmpt_module_get_num_instruments(module) != 0) return octaves;
    for (int sample = 0; sample < openmpt_module_get_num_samples(module); ++sample) {
        const char* name = openmpt_module_get_sample_name(module, sample);
        octaves.push_back(octavesNamed(name));
        openmpt_free_string(name);
    }
    return octaves;
}

// What a channel keeps from row to row: the instrument here, and the octaves
// its sample sounds from the notes written.
struct ChannelState {
    int instrument = 1;
    int octaves = 0;
};

class CellWriter {
public:
    CellWriter(Song& song, std::vector<int> octaves) : song(song), octaves(std::move(octaves)) {}

    void write(int index, int channel, const ModuleCell& cell, ChannelState& state)
    {
        bool note = cell.note >= lowestModuleNote && cell.note <= highestModuleNote;
        if (cell.instrument > 0) {
            state.instrument = instrumentHere(cell.instrument);
            state.octaves = size_t(cell.instrument) < octaves.size() ? octaves[size_t(cell.instrument)] : 0;
        }
        // Silence in the module, by a note-off or a volume of 0, is the note-off.
        if (cell.note >= firstNoteEnd || cell.volume == 0) return put(index, channel, U'<', U'0', U'0', U'0');
        char32_t volume = cell.volume > 0 ? hexDigit(volumeDigit(cell.volume)) : U'0';
        if (!note) return put(index, channel, U'.', volume, U'0', U'0');
        if (cell.volume < 0) volume = hexDigit(fullDigit);
        // A glide reaches the note without a new attack: volume 0 here.
        if (cell.glide) volume = U'0';
        int pitch = cell.note - moduleNoteOfPitchZero + 12 * state.octaves;
        while (pitch < 0) pitch += 12;
        while (pitch > highestPitch) pitch -= 12;
        int octave = pitch < 2 * 12 ? pitch / 12 : pitch - 12 * preferredOctave <= 28 ? preferredOctave : 3;
        // Every note names its instrument: the player takes a note's octave
        // only from a row with an instrument.
        put(index, channel, noteKeys[size_t(pitch - 12 * octave)], volume, hexDigit(state.instrument),
            char32_t(U'0' + octave));
    }

    // A stretch shorter than 32 rows ends with the pattern end on its last
    // row, in a channel with no note there (channel 4 when all have one).
    void endEarly(int index)
    {
        int chosen = channelCount;
        while (chosen > 1 && song.patternColumns[noteColumn(chosen)][index] != U'.') --chosen;
        if (song.patternColumns[noteColumn(chosen)][index] != U'.') chosen = channelCount;
        song.patternColumns[noteColumn(chosen)][index] = U'-';
    }

private:
    static char32_t hexDigit(int value) { return U"0123456789ABCDEF"[value & 15]; }

    void put(int index, int channel, char32_t note, char32_t volume, char32_t instrument, char32_t octave)
    {
        song.patternColumns[noteColumn(channel)][index] = note;
        song.patternColumns[volumeColumn(channel)][index] = volume;
        song.patternColumns[instrumentColumn(channel)][index] = instrument;
        song.patternColumns[octaveColumn(channel)][index] = octave;
    }

    Song& song;
    std::vector<int> octaves;
};

bool isModLike(openmpt_module* module)
{
    const char* type = openmpt_module_get_metadata(module, "type");
    bool mod = type && (std::strcmp(type, "mod") == 0 || std::strcmp(type, "xm") == 0);
    openmpt_free_string(type);
    return mod;
}

// Reads the stretches into patterns, one pattern for each different
// stretch, and the positions that play them.
void importPatterns(openmpt_module* module, Song& song)
{
    const Letters& letters = isModLike(module) ? modLetters : itLetters;
    std::vector<Stretch> stretches = stretchesOf(module, letters);
    std::array<int, channelCount> channels = busiestChannels(module, stretches);
    std::map<std::pair<int, int>, int> patternOf;
    std::array<ChannelState, channelCount> states {};
    CellWriter writer(song, sampleOctaves(module));
    for (size_t position = 0; position < stretches.size(); ++position) {
        const Stretch& at = stretches[position];
        auto [known, isNew] = patternOf.emplace(std::make_pair(at.pattern, at.firstRow), int(patternOf.size()));
        song.positions[position] = known->second;
        if (!isNew) continue;
        int base = known->second * rowsPerPattern;
        for (int row = 0; row < at.rows; ++row) {
            for (int slot = 0; slot < channelCount; ++slot) {
                if (channels[size_t(slot)] < 0) continue;
                ModuleCell cell = readCell(module, letters, at, row, channels[size_t(slot)]);
                writer.write(base + row, slot + 1, cell, states[size_t(slot)]);
            }
        }
        if (at.rows < rowsPerPattern) writer.endEarly(base + at.rows - 1);
    }
    song.songLengthRows = std::max<int>(1, int(stretches.size())) * rowsPerPattern;
}

// The module's first speed, in ticks of this player's 50 a second. A speed
// set on the first row (as most modules set it) counts only once that row
// has played a moment, so a few frames are played and the start taken back.
int speedOf(openmpt_module* module)
{
    std::array<int16_t, 16> frames {};
    openmpt_module_read_mono(module, 8000, frames.size(), frames.data());
    int speed = openmpt_module_get_current_speed(module);
    int tempo = openmpt_module_get_current_tempo(module);
    openmpt_module_set_position_order_row(module, 0, 0);
    if (speed <= 0 || tempo <= 0) return 6;
    return std::clamp((speed * ticksTempo + tempo / 2) / tempo, 1, 16);
}

// A name as the description field can show it: printable ASCII, 21 at most.
String descriptionOf(const char* name)
{
    String text;
    for (const char* c = name; c && *c && text.size() < size_t(descriptionLength); ++c)
        text += std::isprint(static_cast<unsigned char>(*c)) ? char32_t(*c) : U' ';
    return text;
}

// What the instrument sounds like, played alone at middle C: the song's own
// channels are muted and the song repeats, so that it never runs out.
std::vector<float> soundOf(openmpt_module_ext* handle, openmpt_module_ext_interface_interactive& interactive,
                           int instrument)
{
    openmpt_module* module = openmpt_module_ext_get_module(handle);
    std::vector<float> sound(settleFrames + measuredFrames, 0.0f);
    int channel = interactive.play_note(handle, instrument, measuredNote, 1.0, 0.0);
    if (channel < 0) return {};
    size_t done = openmpt_module_read_float_mono(module, measureRate, sound.size(), sound.data());
    interactive.stop_note(handle, channel);
    if (done < sound.size()) return {};
    return std::vector<float>(sound.begin() + settleFrames, sound.end());
}

// The instruments the song's notes name: only those are worth measuring.
std::array<bool, instrumentsHere + 1> usedInstruments(const Song& song)
{
    std::array<bool, instrumentsHere + 1> used {};
    for (int channel = 1; channel <= channelCount; ++channel)
        for (char32_t digit : song.patternColumns[size_t(instrumentColumn(channel))].text())
            used[size_t(hexDigitValue(digit)) % used.size()] = true;
    return used;
}

void importInstruments(openmpt_module_ext* handle, Song& song)
{
    openmpt_module* module = openmpt_module_ext_get_module(handle);
    int instruments = openmpt_module_get_num_instruments(module);
    bool samplesOnly = instruments == 0;
    int count = samplesOnly ? openmpt_module_get_num_samples(module) : instruments;
    openmpt_module_ext_interface_interactive interactive {};
    bool canPlay = openmpt_module_ext_get_interface(handle, LIBOPENMPT_EXT_C_INTERFACE_INTERACTIVE, &interactive,
                                                    sizeof(interactive)) != 0;
    if (canPlay) {
        openmpt_module_set_repeat_count(module, -1);
        for (int channel = 0; channel < openmpt_module_get_num_channels(module); ++channel)
            interactive.set_channel_mute_status(handle, channel, 1);
    }
    std::array<bool, instrumentsHere + 1> used = usedInstruments(song);
    for (int here = 1; here <= instrumentsHere; ++here) {
        bool measured = here <= count && canPlay && used[size_t(here)];
        int wave = measured ? likestWave(soundOf(handle, interactive, here - 1)) : waveBright;
        int* slots = song.instrumentParams.data() + here * slotsPerInstrument;
        slots[slotWave] = wave;
        slots[slotEnvelope] = wave == waveNoise ? noiseEnvelope : toneEnvelope;
        if (here > count) continue;
        const char* name = samplesOnly ? openmpt_module_get_sample_name(module, here - 1)
                                       : openmpt_module_get_instrument_name(module, here - 1);
        song.instrumentDescriptions[size_t(here)] = descriptionOf(name);
        openmpt_free_string(name);
    }
}

// libopenmpt's messages go nowhere: a refused module is the answer.
void quiet(const char*, void*) {}
int ignoreErrors(int, void*) { return OPENMPT_ERROR_FUNC_RESULT_NONE; }

} // namespace

bool namesModule(std::string_view fileName)
{
    size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string extension(fileName.substr(dot + 1));
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "mod" || extension == "xm" || extension == "s3m" || extension == "it";
}

std::optional<Song> importModule(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty() || bytes.size() > moduleFileLimit) return std::nullopt;
    ModuleHandle handle(openmpt_module_ext_create_from_memory(bytes.data(), bytes.size(), quiet, nullptr,
                                                              ignoreErrors, nullptr, nullptr, nullptr, nullptr));
    if (!handle) return std::nullopt;
    openmpt_module* module = openmpt_module_ext_get_module(handle.get());
    Song song;
    song.patternColumns = blankColumns();
    song.speed = speedOf(module);
    importPatterns(module, song);
    importInstruments(handle.get(), song);
    return song;
}

std::optional<Song> importModuleFile(const std::string& path)
{
    std::FILE* file = openLoadableFile(path, moduleFileLimit);
    if (!file) return std::nullopt;
    std::optional<std::vector<unsigned char>> bytes = readWholeFile(file, moduleFileLimit);
    std::fclose(file);
    if (!bytes) return std::nullopt;
    return importModule(*bytes);
}
