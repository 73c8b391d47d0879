#include "app/recovery_file.h"

#include "song/song_file.h"

#include <algorithm>

namespace {

constexpr char32_t formatLine[] = U"Kovo Tracker unsaved song 1\n";

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

String recoveryText(const Song& song, const RecoveredView& view)
{
    String out = formatLine;
    for (int value : {view.cursorColumn, view.cursorRow, view.currentPosition})
        out += intText(value) + U" ";
    out += intText(static_cast<int>(view.songName.size())) + U"\n" + view.songName + U"\n";
    return out + songText(song);
}

bool parseRecoveryText(const String& text, Song& song, RecoveredView& view)
{
    String format = formatLine;
    if (text.compare(0, format.size(), format) != 0) return false;
    size_t pos = format.size();
    int column = 0, row = 0, position = 0, nameLength = 0;
    if (!readNumber(text, pos, U' ', column) || !readNumber(text, pos, U' ', row) ||
        !readNumber(text, pos, U' ', position) || !readNumber(text, pos, U'\n', nameLength))
        return false;
    size_t songStart = pos + nameLength + 1;
    if (songStart >= text.size() || text[songStart - 1] != U'\n') return false;
    view.songName = text.substr(pos, nameLength);
    view.cursorColumn = std::clamp(column, 1, 8);
    view.cursorRow = std::clamp(row, 1, rowsPerPattern);
    view.currentPosition = std::clamp(position, 0, positionCount - 1);
    parseSongText(text.substr(songStart), song);
    return true;
}
