#include "app/editing/cell_text.h"

#include "song/song_model.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::u32string_view, 12> noteNames = {U"C-", U"C#", U"D-", U"D#", U"E-", U"F-",
                                                            U"F#", U"G-", U"G#", U"A-", U"A#", U"B-"};

struct MarkText {
    char32_t note;
    std::u32string_view text;
};

constexpr MarkText markTexts[] = {
    {U'.', U"---"}, {U'<', U"{|}"}, {U'+', U"-dn"}, {U'#', U"-up"}, {U'-', U"End"},
};

} // namespace

// Code 127 is what the Delete key sends; it is no note.
bool isNoteKey(char32_t ch)
{
    return (ch >= U'a' && ch < 127) || (ch >= U'.' && ch <= U'<') || ch == U'#' || ch == U'+' || ch == U'-';
}

char32_t noteCharOf(int value)
{
    switch (value) {
    case noteSlideDown: return U'+';
    case noteOff: return U'<';
    case noteSlideUp: return U'#';
    case notePatternEnd: return U'-';
    case noteEmpty: return U'.';
    default: return value >= 0 && value < static_cast<int>(noteKeys.size()) ? noteKeys[value] : U'y';
    }
}

std::u32string_view semitoneName(int semitone) { return noteNames[static_cast<size_t>(semitone % 12)]; }

String hexDigitText(int value)
{
    if (value >= 10 && value <= 15) return charText(U'A' + (value - 10));
    return intText(value);
}

String byteHex(int value)
{
    constexpr std::u32string_view digits = U"0123456789ABCDEF";
    int low = value & 0xFF;
    return String {digits[low >> 4], digits[low & 15]};
}

String noteCellText(const String& notes, int index, const String& octaves)
{
    // Cells past the end of a column read as blank.
    auto inside = [index](const String& column) { return index >= 0 && index < static_cast<int>(column.size()); };
    char32_t octave = inside(octaves) ? octaves[index] : U'0';
    if (octave < U'0' || octave > U'3') return String();
    char32_t note = inside(notes) ? notes[index] : U'.';
    for (const MarkText& mark : markTexts) {
        if (mark.note == note) return String(mark.text);
    }
    size_t value = noteKeys.find(note);
    if (value == std::u32string_view::npos) return U"???";
    return String(noteNames[value % 12]) + charText(octave + static_cast<char32_t>(value / 12));
}
