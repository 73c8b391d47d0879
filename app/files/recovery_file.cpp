#include "app/files/recovery_file.h"

#include "song/song_file.h"

#include <algorithm>

namespace {

constexpr char32_t formatLine[] = U"Kovo Tracker unsaved song 2\n";
constexpr char32_t firstFormatLine[] = U"Kovo Tracker unsaved song 1\n";

bool startsWith(const String& text, const String& start) { return text.compare(0, start.size(), start) == 0; }

// A text of the given length and the line end after it.
bool readLine(const String& text, size_t& pos, int length, String& line)
{
    size_t end = pos + static_cast<size_t>(length);
    if (end >= text.size() || text[end] != U'\n') return false;
    line = text.substr(pos, length);
    pos = end + 1;
    return true;
}

// Reads a decimal number at pos and the one separator after it.
bool readNumber(const String& text, size_t& pos, char32_t separator, int& value)
{
    size_t start = pos;
    long long number = 0;
    while (pos < text.size() && text[pos] >= U'0' && text[pos] <= U'9' && pos - start < 9)
        number = number * 10 + (text[pos++] - U'0');
    if (pos == start || pos >= text.size() || text[pos] != separator) return false;
    ++pos;
    value = static_cast<int>(number);
    return true;
}

} // namespace

String recoveryFilePath(int number)
{
    if (number == 1) return U"quorvane://user/unsaved_song.dat";
    return U"quorvane://user/unsaved_song-" + intText(number) + U".dat";
}

String recoveryText(const Song& song, const RecoveredView& view)
{
    String out = formatLine;
    for (int value : {view.cursorColumn, view.cursorRow, view.currentPosition, static_cast<int>(view.songName.size())})
        out += intText(value) + U" ";
    out += intText(static_cast<int>(view.songPath.size())) + U"\n" + view.songName + U"\n" + view.songPath + U"\n";
    return out + songText(song);
}

bool parseRecoveryText(const String& text, Song& song, RecoveredView& view)
{
    bool first = startsWith(text, firstFormatLine);
    if (!first && !startsWith(text, formatLine)) return false;
    size_t pos = String(formatLine).size();
    int column = 0, row = 0, position = 0, nameLength = 0, pathLength = 0;
    if (!readNumber(text, pos, U' ', column) || !readNumber(text, pos, U' ', row) ||
        !readNumber(text, pos, U' ', position) || !readNumber(text, pos, first ? U'\n' : U' ', nameLength) ||
        (!first && !readNumber(text, pos, U'\n', pathLength)))
        return false;
    String name, path;
    if (!readLine(text, pos, nameLength, name) || (!first && !readLine(text, pos, pathLength, path)) ||
        pos >= text.size())
        return false;
    view.songName = name;
    view.songPath = path;
    view.cursorColumn = std::clamp(column, 1, 8);
    view.cursorRow = std::clamp(row, 1, rowsPerPattern);
    view.currentPosition = std::clamp(position, 0, positionCount - 1);
    parseSongText(text.substr(pos), song);
    return true;
}
