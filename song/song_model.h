// The song: four channels of pattern columns, the position list, the
// instrument table, and the character rules that read pattern cells.
#pragma once

#include "base/text.h"
#include "song/own_waves.h"
#include "song/pattern_column.h"

#include <array>
#include <string_view>

constexpr int rowsPerPattern = 32;
constexpr int patternSlots = 256;
constexpr int columnLength = rowsPerPattern * patternSlots;  // 8192 characters
constexpr int columnCount = 16;       // notes 0..3, volumes 4..7, instruments 8..11, octaves 12..15
constexpr int channelCount = 4;
constexpr int positionCount = 256;
constexpr int instrumentValueCount = 256;  // eight slots per instrument
constexpr int slotsPerInstrument = 8;
constexpr int descriptionCount = 32;
constexpr int descriptionLength = 21;
constexpr int maxSongPositions = 99;

// The columns of a channel 1..4: its note, volume, instrument and octave
// column, in that order (the order the clipboard keeps them in too).
constexpr int noteColumn(int channel) { return channel - 1; }
constexpr int volumeColumn(int channel) { return channel + 3; }
constexpr int instrumentColumn(int channel) { return channel + 7; }
constexpr int octaveColumn(int channel) { return channel + 11; }
constexpr int channelColumn(int channel, int part) { return channel - 1 + channelCount * part; }
static_assert(channelColumn(3, 2) == instrumentColumn(3));

// Note values with a meaning of their own.
constexpr int noteSlideDown = 127;  // "+"
constexpr int noteOff = 128;        // "<"
constexpr int noteSlideUp = 129;    // "#"
constexpr int notePatternEnd = 130; // "-"
constexpr int noteEmpty = 255;      // "."

// The note keys in semitone order: the lower keyboard row, then the upper
// row with the digits between its letters.
constexpr std::u32string_view noteKeys = U"ysxdcvgbhnjmq2w3er5t6z7ui9o0p";
static_assert(noteKeys.size() == 29);

// Instrument slots.
enum InstrumentSlot {
    slotWave = 0,
    slotPwm = 1,
    slotE2pRpt = 2,  // RPT * 16 + E2P
    slotAmtSwp = 3,  // SWP * 16 + AMT
    slotEnvelope = 4,
    slotArpSpeed = 5,
    slotArpFirst = 6,
    slotArpSecond = 7,
};

struct Song {
    std::array<PatternColumn, columnCount> patternColumns;
    int songLengthRows = rowsPerPattern;
    int speed = 4;
    std::array<int, positionCount> positions {};
    std::array<int, instrumentValueCount> instrumentParams {};
    std::array<String, descriptionCount> instrumentDescriptions;
    OwnWaves ownWaves;
};

// The blank character of a column: "." for notes, "0" for the others.
char32_t blankCharOf(int column);

// A column of 8192 blank characters.
String blankColumn(int column);

// All 16 columns blank; the blank columns share their texts.
std::array<PatternColumn, columnCount> blankColumns();

// Note character to note value: the two keyboard rows give 0..28, "+" 127,
// "<" 128, "#" 129, "-" 130, "." 255, any other character 0.
int noteValueOf(char32_t c);

// One hexadecimal digit, either case; any other character reads as its
// decimal value, 0 when it is not a digit.
int hexDigitValue(char32_t c);

// A slot of an instrument; instruments outside the table read as 0.
int instrumentSlot(const Song& song, int instrument, int slot);
