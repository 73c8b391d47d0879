#include "app/editing/pattern_text.h"

#include "app/editing/cell_text.h"
#include "app/keys/midi_notes.h"
#include "song/song_model.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace {

using Text = std::u32string_view;

constexpr Text openMptPrefix = U"ModPlug Tracker";
constexpr Text openMptHeader = U"ModPlug Tracker  XM";
constexpr Text furnacePrefix = U"org.tildearrow.furnace - Pattern Data";

// The grid's pitches run from "y" at octave 0 (C-0) to "p" at octave 3 (E-5).
constexpr int highestPitch = 3 * 12 + 28;
constexpr int midiOfPitchZero = 36;
// Middle C is C-2 on this grid, C-5 in the pattern text and C-4 in Furnace's.
constexpr int openMptOctaveShift = 3;
constexpr int furnaceOctaveShift = 2;
// The pattern text's volume column runs 0..64, the grid's digits 0..F.
constexpr int textFullVolume = 64;

// The note marks that travel as effects: slide up and down as portamento,
// the pattern end as a pattern break. Effect letters of MOD and XM, of S3M,
// IT and MPT, and Furnace's effect numbers.
struct MarkEffect {
    char32_t mark;
    char32_t modEffect;
    char32_t itEffect;
    int furnaceEffect;
};
constexpr MarkEffect markEffects[] = {{U'#', U'1', U'F', 0x01}, {U'+', U'2', U'E', 0x02}, {U'-', U'D', U'C', 0x0D}};
// Tone portamento: a note reached without a new attack, which is what a
// note with volume digit 0 does here. Written at full speed, so that the
// pitch arrives within a tick.
constexpr MarkEffect legatoEffect = {0, U'3', U'G', 0x03};
constexpr Text legatoWritten = U"3FF";
// MOD and XM set the volume with Cxx in the effect column (00-40 hex).
constexpr char32_t modVolumeEffect = U'C';
// The volume column's tone portamento (OpenMPT's "g").
constexpr char32_t legatoVolumeCommand = U'g';

enum class Dialect { modXm, s3mIt, furnace };

// More rows than a pattern holds are never pasted; longer texts are read no further.
constexpr size_t rowsRead = 256;
// Nor more cells of a row than could ever be pasted beside each other.
constexpr size_t cellsRead = 64;
// Furnace's columns: note, instrument, volume and eight effects of two.
constexpr int furnaceLastColumn = 18;

int hexValue(char32_t c)
{
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
    if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
    return -1;
}

// A number of up to four digits in the base, or -1 when the text is not one.
int numberOf(Text text, int base)
{
    if (text.empty() || text.size() > 4) return -1;
    int value = 0;
    for (char32_t c : text) {
        int digit = hexValue(c);
        if (digit < 0 || digit >= base) return -1;
        value = value * base + digit;
    }
    return value;
}

constexpr Text blanks = U" \t";
constexpr char32_t byteOrderMark = 0xFEFF;

Text trimmed(Text text)
{
    size_t first = text.find_first_not_of(blanks);
    if (first == Text::npos) return Text();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

Text leftTrimmed(Text text)
{
    size_t first = text.find_first_not_of(blanks);
    return first == Text::npos ? Text() : text.substr(first);
}

// ---- Writing ----

// The pitch of a note key at its octave digit, or -1 for marks and blanks.
int pitchOf(const ClipCell& cell)
{
    size_t value = noteKeys.find(cell.note);
    if (value == Text::npos || cell.octave < U'0' || cell.octave > U'3') return -1;
    return static_cast<int>(value) + 12 * static_cast<int>(cell.octave - U'0');
}

String twoDigits(int value) { return String {char32_t(U'0' + value / 10 % 10), char32_t(U'0' + value % 10)}; }

String noteField(const ClipCell& cell)
{
    int pitch = pitchOf(cell);
    if (pitch >= 0) return String(semitoneName(pitch)) + char32_t(U'0' + pitch / 12 + openMptOctaveShift);
    return cell.note == U'<' ? U"===" : U"...";
}

String instrumentField(const ClipCell& cell)
{
    int instrument = hexValue(cell.instrument);
    return instrument >= 1 ? twoDigits(instrument) : U"..";
}

// A note of volume 0 keeps the sound going at its volume: it is written as
// a tone portamento, which other trackers play the same way, where "v00"
// would be a silent note there.
bool isLegato(const ClipCell& cell) { return pitchOf(cell) >= 0 && hexValue(cell.volume) == 0; }

// A note-off keeps even volume 0, so that it comes back as it went (read
// back without one, it would take the typed volume).
String volumeField(const ClipCell& cell)
{
    int volume = hexValue(cell.volume);
    if (volume > 0 || (volume == 0 && cell.note == U'<')) return U"v" + twoDigits((volume * textFullVolume + 7) / 15);
    return U"...";
}

String effectField(const ClipCell& cell)
{
    for (const MarkEffect& effect : markEffects) {
        if (effect.mark == cell.note) return String(1, effect.modEffect) + U"00";
    }
    return isLegato(cell) ? String(legatoWritten) : U"...";
}

// ---- Reading ----

// What a field of pasted text held: nothing (left out, or blanks: the cell
// keeps its column), an empty field (dots), or a value.
enum class Given { absent, empty, value };

struct Fields {
    Given note = Given::absent;
    bool noteOff = false;
    int pitch = 0;
    Given instrument = Given::absent;
    int instrumentNumber = 0;  // 1..15, 0 for one this program has not
    Given volume = Given::absent;
    int volumeDigit = 0;
    char32_t mark = 0;  // from an effect
    bool legato = false;  // tone portamento
};

// A field's text at a place of a cell; empty where the cell is shorter or
// holds only blanks there.
Text field(Text cell, size_t at, size_t length)
{
    if (at >= cell.size()) return Text();
    Text text = cell.substr(at, length);
    return trimmed(text).empty() ? Text() : text;
}

bool allDots(Text text) { return text.find_first_not_of(U'.') == Text::npos; }

// Takes a field: absent, dots, or what read makes of its text (false: the
// field's value is dropped, as if it were dots).
template <typename Read>
Given given(Text text, Read read)
{
    if (text.empty()) return Given::absent;
    if (allDots(text) || !read(text)) return Given::empty;
    return Given::value;
}

// Furnace names the octaves below 0 in lower case, "_" for natural and "+"
// for sharp: "c_1" is C-(-1), "c+5" C#-(-5).
bool isNegativeOctave(Text name) { return name[0] >= U'a' && name[0] <= U'g' && (name[1] == U'_' || name[1] == U'+'); }

// "C-5", "C#5", "c_1", with the octave counted from the format's; moved by
// whole octaves into the grid's range.
bool readPitch(Text name, int octaveShift, int& pitch)
{
    if (name.size() != 3 || name[2] < U'0' || name[2] > U'9') return false;
    int octave = static_cast<int>(name[2] - U'0');
    String key(name.substr(0, 2));
    if (isNegativeOctave(name)) {
        key = {char32_t(name[0] - U'a' + U'A'), name[1] == U'+' ? U'#' : U'-'};
        octave = -octave;
    }
    for (int semitone = 0; semitone < 12; ++semitone) {
        if (key != semitoneName(semitone)) continue;
        pitch = 12 * (octave - octaveShift) + semitone;
        while (pitch < 0) pitch += 12;
        while (pitch > highestPitch) pitch -= 12;
        return true;
    }
    return false;
}

void readNote(Fields& fields, Text text, std::initializer_list<Text> offNames, int octaveShift)
{
    fields.note = given(text, [&](Text name) {
        for (Text off : offNames) fields.noteOff = fields.noteOff || name == off;
        return fields.noteOff || readPitch(name, octaveShift, fields.pitch);
    });
}

// The first instrument of the text is the grid's instrument 1.
void readInstrument(Fields& fields, Text text, Dialect dialect)
{
    fields.instrument = given(text, [&](Text digits) {
        int number = dialect == Dialect::furnace ? numberOf(digits, 16) + 1 : numberOf(digits, 10);
        if (number < 1) return false;
        fields.instrumentNumber = number <= 15 ? number : 0;
        return true;
    });
}

// 0..64 as the nearest digit; only 0 becomes 0, which is silence (a low
// volume rounded to 0 would be a legato note instead).
int volumeDigitOf(int value)
{
    if (value <= 0) return 0;
    return std::max(1, (std::min(value, textFullVolume) * 15 + textFullVolume / 2) / textFullVolume);
}

void readVolume(Fields& fields, Text text, Dialect dialect)
{
    fields.volume = given(text, [&](Text volume) {
        if (dialect == Dialect::furnace) {
            int value = numberOf(volume, 16);
            fields.volumeDigit = value > 15 ? 15 : value;
            return value >= 0;
        }
        fields.legato = fields.legato || volume[0] == legatoVolumeCommand;
        // Volume commands other than "v" (panning, slides) are dropped.
        int value = volume[0] == U'v' ? numberOf(volume.substr(1), 10) : -1;
        fields.volumeDigit = volumeDigitOf(value);
        return value >= 0;
    });
}

bool isEffect(Text effect, const MarkEffect& wanted, Dialect dialect)
{
    if (dialect == Dialect::furnace) return numberOf(effect.substr(0, 2), 16) == wanted.furnaceEffect;
    return effect[0] == (dialect == Dialect::modXm ? wanted.modEffect : wanted.itEffect);
}

// MOD's and XM's Cxx takes the volume column's place, as OpenMPT's own
// MOD and XM editing shows it (Furnace reads it as its volume too).
void readVolumeEffect(Fields& fields, Text effect)
{
    int value = numberOf(effect.substr(1), 16);
    if (value < 0) return;
    fields.volume = Given::value;
    fields.volumeDigit = volumeDigitOf(value);
}

void readEffect(Fields& fields, Text effect, Dialect dialect)
{
    if (effect.empty()) return;
    fields.legato = fields.legato || isEffect(effect, legatoEffect, dialect);
    if (dialect == Dialect::modXm && effect[0] == modVolumeEffect) readVolumeEffect(fields, effect);
    for (const MarkEffect& mark : markEffects) {
        if (!fields.mark && isEffect(effect, mark, dialect)) fields.mark = mark.mark;
    }
}

// The instrument column of a cell whose text has no note (a clip that starts
// at the instrument column): the instrument given, blank for dots.
void setInstrumentWithoutNote(ClipCell& cell, const Fields& fields)
{
    if (fields.instrument == Given::empty || (fields.note == Given::empty && fields.instrument == Given::absent)) cell.instrument = U'0';
    if (fields.instrument != Given::value) return;
    cell.instrument = fields.instrumentNumber && !fields.mark ? hexDigitText(fields.instrumentNumber)[0] : U'0';
}

void setNote(ClipCell& cell, const Fields& fields, const PasteDefaults& defaults)
{
    int instrument = fields.instrumentNumber ? fields.instrumentNumber : defaults.instrument;
    cell.instrument = hexDigitText(instrument)[0];
    if (fields.volume != Given::value) cell.volume = U'8';
    if (fields.noteOff) {
        cell.note = U'<';
        cell.octave = intText(defaults.octave)[0];
        return;
    }
    MidiCell key = midiNoteCell(fields.pitch + midiOfPitchZero, defaults.octave).value_or(MidiCell {U'y', 0});
    cell.note = key.note;
    cell.octave = intText(key.octave)[0];
    // A tone portamento does not strike the note again: volume 0 here.
    if (fields.legato) cell.volume = U'0';
}

// A cell as the typed note would make it; a mark from an effect only where
// the note field is empty.
ClipCell cellOf(Fields fields, const PasteDefaults& defaults)
{
    // Volume 0 silences the channel in the other trackers, where here a
    // note of volume 0 would go on sounding: it is the note-off.
    if (fields.volume == Given::value && fields.volumeDigit == 0) {
        fields.note = Given::value;
        fields.noteOff = true;
    }
    ClipCell cell;
    if (fields.volume == Given::value) cell.volume = hexDigitText(fields.volumeDigit)[0];
    if (fields.note == Given::value) {
        setNote(cell, fields, defaults);
        return cell;
    }
    if (fields.note == Given::empty) {
        cell.note = fields.mark ? fields.mark : U'.';
        cell.octave = U'0';
    }
    setInstrumentWithoutNote(cell, fields);
    if (fields.volume == Given::empty) cell.volume = U'0';
    return cell;
}

ClipCell readOpenMptCell(Text text, Dialect dialect, const PasteDefaults& defaults)
{
    Fields fields;
    readNote(fields, field(text, 0, 3), {U"===", U"^^^", U"~~~"}, openMptOctaveShift);
    readInstrument(fields, field(text, 3, 2), dialect);
    Text volume = field(text, 5, 3);
    Text effect = field(text, 8, 3);
    // A cell without a volume column has its effect after the instrument.
    bool effectFirst = !volume.empty() && ((volume[0] >= U'A' && volume[0] <= U'Z') || (volume[0] >= U'0' && volume[0] <= U'9'));
    if (effectFirst && effect.empty()) std::swap(volume, effect);
    readVolume(fields, volume, dialect);
    readEffect(fields, effect, dialect);
    return cellOf(fields, defaults);
}

constexpr Text furnaceOffNames[] = {U"OFF", U"===", U"REL"};

// A note field Furnace writes with the usual three characters.
bool isFurnaceNoteText(Text note)
{
    int pitch = 0;
    bool off = std::find(std::begin(furnaceOffNames), std::end(furnaceOffNames), note) != std::end(furnaceOffNames);
    return off || trimmed(note).empty() || allDots(note) || readPitch(note, furnaceOctaveShift, pitch);
}

// Any other note (a raw frequency) may be wider: the fields after it are
// two of two characters and effects of four, so the cell's length tells.
size_t furnaceNoteWidth(Text cell)
{
    if (cell.size() < 7 || isFurnaceNoteText(cell.substr(0, 3))) return 3;
    return 3 + (cell.size() - 7) % 4;
}

// A note of no pitch this grid can tell (a raw frequency) leaves the note
// column as it is; the cell's other fields still count.
ClipCell readFurnaceCell(Text text, const PasteDefaults& defaults)
{
    Fields fields;
    size_t width = furnaceNoteWidth(text);
    Text note = field(text, 0, width);
    if (!isFurnaceNoteText(note)) note = Text();
    readNote(fields, note, {furnaceOffNames[0], furnaceOffNames[1], furnaceOffNames[2]}, furnaceOctaveShift);
    readInstrument(fields, field(text, width, 2), Dialect::furnace);
    readVolume(fields, field(text, width + 2, 2), Dialect::furnace);
    for (size_t at = width + 4; at < text.size(); at += 4) readEffect(fields, field(text, at, 4), Dialect::furnace);
    return cellOf(fields, defaults);
}

// The text's lines one at a time, ended by LF, CRLF or a lone CR, as
// different programs end them.
class Lines {
public:
    explicit Lines(Text text) : rest(text) {}
    bool next(Text& line)
    {
        if (rest.empty()) return false;
        size_t end = std::min(rest.find_first_of(U"\r\n"), rest.size());
        line = rest.substr(0, end);
        size_t skip = end < rest.size() && rest[end] == U'\r' && end + 1 < rest.size() && rest[end + 1] == U'\n' ? 2 : 1;
        rest.remove_prefix(std::min(end + skip, rest.size()));
        return true;
    }

private:
    Text rest;
};

std::optional<Dialect> openMptDialect(Text header)
{
    if (header.substr(0, openMptPrefix.size()) != openMptPrefix) return std::nullopt;
    Text format = trimmed(header.substr(openMptPrefix.size()));
    if (format == U"MOD" || format == U"XM") return Dialect::modXm;
    if (format == U"S3M" || format == U"IT" || format == U"MPT") return Dialect::s3mIt;
    return std::nullopt;
}

// Rows are the lines that start with "|" (after any blanks), one cell after
// each "|".
std::vector<ClipRow> readOpenMptRows(Lines& lines, Dialect dialect, const PasteDefaults& defaults)
{
    std::vector<ClipRow> rows;
    for (Text line; rows.size() < rowsRead && lines.next(line);) {
        line = leftTrimmed(line);
        if (line.empty() || line[0] != U'|') continue;
        ClipRow& row = rows.emplace_back();
        for (size_t at = 1; at <= line.size() && row.size() < cellsRead;) {
            size_t end = std::min(line.find(U'|', at), line.size());
            row.push_back(readOpenMptCell(line.substr(at, end - at), dialect, defaults));
            at = end + 1;
        }
    }
    return rows;
}

// Where in a cell the clip's first channel starts: at the note, instrument,
// volume, or an effect (whose type is always there).
size_t furnaceStartOffset(int column)
{
    if (column <= 2) return column == 0 ? 0 : column == 1 ? 3 : 5;
    return static_cast<size_t>(7 + 4 * ((column - 3) / 2));
}

// The line after the header names the first column; each row's cells end
// with "|".
std::optional<std::vector<ClipRow>> readFurnaceRows(Lines& lines, const PasteDefaults& defaults)
{
    Text columnLine;
    int startColumn = lines.next(columnLine) ? numberOf(trimmed(columnLine), 10) : -1;
    if (startColumn < 0 || startColumn > furnaceLastColumn) return std::nullopt;
    const String padding(furnaceStartOffset(startColumn), U' ');
    std::vector<ClipRow> rows;
    for (Text line; rows.size() < rowsRead && lines.next(line);) {
        line = leftTrimmed(line);
        if (line.find(U'|') == Text::npos) continue;
        ClipRow& row = rows.emplace_back();
        for (size_t at = 0, end; row.size() < cellsRead && (end = line.find(U'|', at)) != Text::npos; at = end + 1) {
            Text cell = line.substr(at, end - at);
            row.push_back(readFurnaceCell(at == 0 ? Text(padding + String(cell)) : cell, defaults));
        }
    }
    return rows;
}

} // namespace

String writePatternText(const std::vector<ClipRow>& rows)
{
    String text = String(openMptHeader) + U"\n";
    for (const ClipRow& row : rows) {
        for (const ClipCell& cell : row)
            text += U"|" + noteField(cell) + instrumentField(cell) + volumeField(cell) + effectField(cell);
        text += U"\n";
    }
    return text;
}

// The header may follow other lines (some programs write one before it),
// and the text may start with a byte-order mark.
std::optional<std::vector<ClipRow>> readPatternText(const String& text, const PasteDefaults& defaults)
{
    Text rest = text;
    if (!rest.empty() && rest[0] == byteOrderMark) rest.remove_prefix(1);
    Lines lines(rest);
    std::optional<std::vector<ClipRow>> rows;
    for (Text line; !rows && lines.next(line);) {
        Text header = trimmed(line);
        if (std::optional<Dialect> dialect = openMptDialect(header)) {
            rows = readOpenMptRows(lines, *dialect, defaults);
        } else if (header.substr(0, furnacePrefix.size()) == furnacePrefix) {
            rows = readFurnaceRows(lines, defaults);
            if (!rows) return std::nullopt;
        }
    }
    if (!rows || rows->empty()) return std::nullopt;
    return rows;
}
