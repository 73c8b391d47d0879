#include "song_writer.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr int lowestOctave = 2;  // C2 is octave digit 0, note "y"
constexpr int highestOctaveDigit = 3;
constexpr int highestSemitone = highestOctaveDigit * 12 + static_cast<int>(noteKeys.size()) - 1;

char32_t hexDigit(int value) { return U"0123456789ABCDEF"[value & 15]; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw SongWriteError(std::string("not a hex digit: ") + c);
}

// "WHAT/ROWS" split in two.
std::pair<std::string_view, int> splitToken(std::string_view token)
{
    size_t slash = token.find('/');
    if (slash == std::string_view::npos) return {token, 1};
    int rows = std::stoi(std::string(token.substr(slash + 1)));
    if (rows < 1) throw SongWriteError("a token lasts a row at least: " + std::string(token));
    return {token.substr(0, slash), rows};
}

} // namespace

int semitoneOf(std::string_view name)
{
    static constexpr int letterSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw SongWriteError("not a note: " + std::string(name));
    int semitone = letterSemitones[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#') semitone += 1, ++at;
    else if (name[at] == 'b') semitone -= 1, ++at;
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at])))
        throw SongWriteError("not a note: " + std::string(name));
    semitone += (name[at] - '0' - lowestOctave) * 12;
    if (semitone < 0 || semitone > highestSemitone) throw SongWriteError("out of reach: " + std::string(name));
    return semitone;
}

SongWriter::SongWriter(int speed)
{
    song_.patternColumns = blankColumns();
    song_.speed = speed;
}

void SongWriter::instrument(int number, const InstrumentSetting& setting)
{
    int* slots = &song_.instrumentParams[static_cast<size_t>(number * slotsPerInstrument)];
    slots[slotWave] = setting.wav;
    slots[slotPwm] = setting.pwm;
    slots[slotE2pRpt] = setting.rpt * 16 + setting.e2p;
    slots[slotAmtSwp] = setting.swp * 16 + setting.amt;
    slots[slotEnvelope] = setting.env;
    slots[slotArpSpeed] = setting.spd;
    slots[slotArpFirst] = setting.arp1;
    slots[slotArpSecond] = setting.arp2;
    if (setting.description.size() > descriptionLength) throw SongWriteError("description too long: " + setting.description);
    song_.instrumentDescriptions[static_cast<size_t>(number)] = widen(setting.description);
}

void SongWriter::put(int pattern, int row, int channel, int part, char32_t c)
{
    if (row < 0 || row >= rowsPerPattern) throw SongWriteError("past the pattern's end");
    song_.patternColumns[channelColumn(channel, part)][pattern * rowsPerPattern + row] = c;
}

// The octave digit goes with the instrument digit: the player takes a row's
// octave only from a row that names an instrument.
void SongWriter::note(int pattern, int row, int channel, int semitone, int volume, int instrument)
{
    if (semitone < 0 || semitone > highestSemitone) throw SongWriteError("a note out of reach");
    int octave = std::min(highestOctaveDigit, semitone / 12);
    put(pattern, row, channel, 0, noteKeys[static_cast<size_t>(semitone - octave * 12)]);
    put(pattern, row, channel, 1, hexDigit(volume));
    put(pattern, row, channel, 2, hexDigit(instrument));
    put(pattern, row, channel, 3, U'0' + octave);
}

void SongWriter::sign(int pattern, int row, int channel, char32_t sign) { put(pattern, row, channel, 0, sign); }

void SongWriter::line(int pattern, int channel, const Voice& voice, std::string_view tokens, int transpose)
{
    int row = 0;
    size_t at = 0;
    while (at < tokens.size()) {
        size_t end = tokens.find(' ', at);
        if (end == std::string_view::npos) end = tokens.size();
        std::string_view token = tokens.substr(at, end - at);
        at = end + 1;
        if (token.empty()) continue;
        auto [what, rows] = splitToken(token);
        if (what == "#" || what == "+") {
            for (int r = 0; r < rows; ++r) sign(pattern, row + r, channel, what[0]);
        } else if (what == "<" || what == "-") {
            sign(pattern, row, channel, what[0]);
        } else if (what != "r") {
            bool glide = what.back() == '.';
            if (glide) what.remove_suffix(1);
            int instrument = voice.instrument, volume = voice.volume;
            size_t mark = what.find_first_of("@:");
            std::string_view name = what.substr(0, mark);
            while (mark != std::string_view::npos) {
                size_t next = what.find_first_of("@:", mark + 1);
                std::string_view value = what.substr(mark + 1, next - mark - 1);
                if (value.size() != 1) throw SongWriteError("one hex digit after @ or : in " + std::string(token));
                (what[mark] == '@' ? instrument : volume) = hexValue(value[0]);
                mark = next;
            }
            note(pattern, row, channel, semitoneOf(name) + transpose, glide ? 0 : volume, instrument);
        }
        row += rows;
    }
    if (row > rowsPerPattern) throw SongWriteError("a line longer than its pattern: " + std::string(tokens));
}

void SongWriter::drums(int pattern, int channel, const DrumKit& kit, std::string_view hits, int rows)
{
    for (int row = 0; row < rows; ++row) {
        char hit = hits[static_cast<size_t>(row) % hits.size()];
        if (hit == '.') continue;
        auto found = kit.find(hit);
        if (found == kit.end()) throw SongWriteError(std::string("no drum for ") + hit);
        note(pattern, row, channel, semitoneOf(found->second.pitch), found->second.volume, found->second.instrument);
    }
}

void SongWriter::order(std::initializer_list<int> patterns)
{
    for (int pattern : patterns) {
        if (positions_ >= maxSongPositions) throw SongWriteError("more than 99 positions");
        song_.positions[static_cast<size_t>(positions_++)] = pattern;
    }
    song_.songLengthRows = positions_ * rowsPerPattern;
}
