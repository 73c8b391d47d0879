// Texts of pattern cells and numbers as the editor writes them and the
// screen shows them.
#pragma once

#include "base/text.h"

#include <string_view>

// Note value to its key character ("y" for 0 ... "p" for 28, "+" "<" "#" "-"
// "." for the marks); other values give "y".
char32_t noteCharOf(int value);

// The characters a note column takes: lower-case letters, codes 123..126, the
// digits with ". / : ; <", and the marks "#", "+" and "-".
bool isNoteKey(char32_t ch);

// The name of a semitone 0..11 of the octave: "C-", "C#", ... "B-".
std::u32string_view semitoneName(int semitone);

// 10..15 as "A".."F", any other value as its decimal text.
String hexDigitText(int value);

// The low 8 bits as two upper-case hexadecimal digits.
String byteHex(int value);

// A note cell as the grid shows it ("C-2", "{|}", "End", ...), read from the
// note and octave characters at an index; empty when the octave character is
// not "0".."3".
String noteCellText(const String& notes, int index, const String& octaves);
