#include "app/keys/key_help.h"

#include "app/keys/key_bindings.h"
#include "app/keys/key_table.h"
#include "app/keys/note_key_places.h"
#include "app/screen/instrument_words.h"
#include "app/screen/screen_layout.h"
#include "song/song_model.h"

namespace {

// What the keyboard prints on a key, where the screen's font can show it
// (printable ASCII); empty otherwise.
String shownCap(int key, const KeyCaps& caps)
{
    String cap = caps ? caps(key) : String();
    for (char32_t c : cap) {
        if (c <= U' ' || c > U'~') return String();
    }
    return cap;
}

// A shortcut's key as the help writes it: the user's cap in capitals where
// the keyboard names one.
String capOf(int key, const KeyCaps& caps)
{
    String cap = shownCap(key, caps);
    if (cap.empty()) return String(shortcutKeyName(key));
    for (char32_t& c : cap) {
        if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
    }
    return cap;
}

// The row's keys with each "+NAME" of its shortcuts as the user's cap of
// the key bound to it. The row names its shortcuts in their order, so each
// takes the next "+NAME" after the one before.
String shownShortcutKeys(size_t rowIndex, const KeyCaps& caps, const KeyBindings& bindings)
{
    const KeyRow& row = keyRows[rowIndex];
    String keys(row.keys);
    size_t from = 0;
    for (size_t i = 0; i < shortcutsPerRow; ++i) {
        const ControlShortcut& shortcut = row.shortcuts[i];
        if (!shortcut.run) continue;
        const String name = U"+" + String(shortcutKeyName(shortcut.key));
        size_t at = keys.find(name, from);
        while (at != String::npos && at + name.size() < keys.size() && keys[at + name.size()] != U' ' &&
               keys[at + name.size()] != U',')
            at = keys.find(name, at + 1);
        if (at == String::npos) continue;
        const String cap = U"+" + capOf(boundShortcutKey(bindings, rowIndex * shortcutsPerRow + i), caps);
        keys.replace(at, name.size(), cap);
        from = at + cap.size();
    }
    return keys;
}

// The 29 note keys at their places, as the keyboard prints them: the lower
// row, a comma, the upper row.
String shownNoteKeys(const KeyCaps& caps, const KeyBindings& bindings)
{
    String keys;
    for (size_t i = 0; i < noteKeys.size(); ++i) {
        int key = bindings.notePlaceKey(i, noteKeyPlaces[i].key);
        String cap = shownCap(key, caps);
        if (cap.empty()) cap = key == noteKeyPlaces[i].key ? String(1, noteKeyPlaces[i].note) : String(shortcutKeyName(key));
        keys += (i == 0 ? U"" : i == 12 ? U", " : U" ") + cap;
    }
    return keys;
}

// A row's lines onto the last page, or a new one when they do not fit. The
// first page keeps its last line for what the sound device reports.
void addToPages(std::vector<HelpPage>& pages, const HelpPage& lines, size_t pageLines)
{
    const size_t room = pages.size() == 1 ? pageLines - 1 : pageLines;
    if (!pages.back().empty() && pages.back().size() + lines.size() > room) pages.emplace_back();
    pages.back().insert(pages.back().end(), lines.begin(), lines.end());
}

// A heading, then what it says indented by two.
HelpPage headedLines(std::u32string_view heading, std::u32string_view text)
{
    constexpr size_t indent = 2;
    HelpPage lines;
    for (String& line : wrapText(heading, overlayColumns)) lines.push_back({std::move(line), true});
    for (String& line : wrapText(text, overlayColumns - indent)) lines.push_back({String(indent, U' ') + line, false});
    return lines;
}

} // namespace

std::vector<String> wrapText(std::u32string_view text, size_t width)
{
    std::vector<String> lines;
    String line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(U' ', start);
        if (end == std::u32string_view::npos) end = text.size();
        std::u32string_view word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        while (word.size() > width) {
            lines.emplace_back(word.substr(0, width));
            word = word.substr(width);
        }
        if (!line.empty()) line += U' ';
        line += word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<HelpPage> keyHelpPages(size_t pageLines, const KeyCaps& caps, bool notesByPlace, const KeyBindings* bindings)
{
    const KeyBindings none;
    const KeyBindings& inForce = bindings ? *bindings : none;
    std::vector<HelpPage> pages(1);
    for (size_t index = 0; index < std::size(keyRows); ++index) {
        const KeyRow& row = keyRows[index];
        String keys = index == noteKeysRow && notesByPlace ? shownNoteKeys(caps, inForce)
                                                           : shownShortcutKeys(index, caps, inForce);
        addToPages(pages, headedLines(keys, row.action), pageLines);
    }
    // The instruments start a page of their own.
    pages.emplace_back();
    for (const InstrumentHelpEntry& entry : instrumentHelp) addToPages(pages, headedLines(entry.heading, entry.text), pageLines);
    return pages;
}
