// Text of 32-bit code units, as the whole program passes it around, and its
// conversions at the edges (C strings, UTF-8, integers).
#pragma once

#include <string>
#include <string_view>

using String = std::u32string;

// Keeps the low 8 bits of every character: how texts reach C interfaces.
std::string narrow(const String& text);

// Whether narrow() keeps the text as it is: every character 1..255. A file
// name must, or the name that was checked is not the file that is opened
// (U+012F would become "/", U+0000 would end the name).
bool narrowsExactly(const String& text);

// One character per byte, 0..255.
String widen(std::string_view bytes);

// Appends the UTF-8 form of one character: 1 byte below 0x80, 2 below 0x800,
// otherwise 3 bytes, each kept to its low 8 bits (no 4-byte sequences).
void appendUtf8(std::string& out, char32_t c);

// The whole text through appendUtf8.
std::string encodeUtf8(const String& text);

// The text as text files are written: every character taken as a 16-bit
// value, higher bits dropped, so no sequence is longer than three bytes.
std::string encodeUtf8Text(const String& text);

// The runtime's text-to-integer conversion: an optional sign and leading
// digits, 0 when the text does not start with a number.
int toInt(const String& text);

// Decimal text of an integer.
String intText(int value);

// A one-character text.
inline String charText(char32_t c) { return String(1, c); }
