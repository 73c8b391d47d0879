#include "base/text.h"

#include <algorithm>

std::string narrow(const String& text)
{
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i] & 0xFF);
    return out;
}

bool narrowsExactly(const String& text)
{
    return std::all_of(text.begin(), text.end(), [](char32_t c) { return c != 0 && c <= 0xFF; });
}

String widen(std::string_view bytes)
{
    String out(bytes.size(), U'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<unsigned char>(bytes[i]);
    return out;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>((0xE0 | (c >> 12)) & 0xFF);
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string encodeUtf8(const String& text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) appendUtf8(out, c);
    return out;
}

std::string encodeUtf8Text(const String& text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) appendUtf8(out, c & 0xFFFF);
    return out;
}

int toInt(const String& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == U' ' || text[i] == U'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == U'-' || text[i] == U'+')) negative = text[i++] == U'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= U'0' && text[i] <= U'9'; ++i) {
        value = value * 10 + (text[i] - U'0');
        if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
    }
    return static_cast<int>(negative ? -value : value);
}

String intText(int value) { return widen(std::to_string(value)); }
