#include "app/files/file_place.h"

#include <cstdlib>

String shownFilePlace(const String& path)
{
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return path;
    String prefix = widen(home);
    while (prefix.size() > 1 && prefix.back() == U'/') prefix.pop_back();
    bool inHome = path.compare(0, prefix.size(), prefix) == 0 && path.size() > prefix.size() &&
                  path[prefix.size()] == U'/';
    return inHome ? U"~" + path.substr(prefix.size()) : path;
}

String withoutMiddle(const String& text, size_t room)
{
    constexpr std::u32string_view elision = U"...";
    if (text.size() <= room || room <= elision.size()) return text.substr(0, room);
    size_t kept = room - elision.size();
    size_t head = kept / 2;
    return text.substr(0, head) + String(elision) + text.substr(text.size() - (kept - head));
}
