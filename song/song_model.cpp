#include "song/song_model.h"

char32_t blankCharOf(int column) { return column < channelCount ? U'.' : U'0'; }

String blankColumn(int column) { return String(columnLength, blankCharOf(column)); }

std::array<PatternColumn, columnCount> blankColumns()
{
    const PatternColumn notes = blankColumn(0);
    const PatternColumn digits = blankColumn(channelCount);
    std::array<PatternColumn, columnCount> columns;
    for (int column = 0; column < columnCount; ++column) columns[column] = column < channelCount ? notes : digits;
    return columns;
}

int noteValueOf(char32_t c)
{
    switch (c) {
    case U'+': return noteSlideDown;
    case U'<': return noteOff;
    case U'#': return noteSlideUp;
    case U'-': return notePatternEnd;
    case U'.': return noteEmpty;
    default: break;
    }
    size_t index = noteKeys.find(c);
    return index == std::u32string_view::npos ? 0 : static_cast<int>(index);
}

int hexDigitValue(char32_t c)
{
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
    if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
    return 0;
}

int instrumentSlot(const Song& song, int instrument, int slot)
{
    int index = instrument * slotsPerInstrument + slot;
    return index >= 0 && index < instrumentValueCount ? song.instrumentParams[index] : 0;
}
