#include "app/keys/key_bindings.h"

#include "app/keys/key_table.h"
#include "app/keys/note_key_places.h"
#include "base/settings_file.h"
#include "base/text.h"
#include "song/song_model.h"

#include <algorithm>
#include <cctype>

namespace {

// The note places' names in the key file, in the order of noteKeyPlaces;
// the note-off's second place has no name of its own (binding note_off
// leaves it without a key).
constexpr std::string_view markActions[] = {"note_off", "", "slide_down", "slide_up", "pattern_end", "clear"};
constexpr size_t notePlaceCount = std::size(noteKeyPlaces);
static_assert(noteKeys.size() + std::size(markActions) == notePlaceCount);
constexpr size_t secondNoteOff = noteKeys.size() + 1;

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string lowerCase(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A key named in the file: a character of the keyboard in use, of a US
// keyboard, or a word; 0 for none.
int keyNamed(const std::string& name, const KeyFinder& finder)
{
    std::string lower = lowerCase(name);
    String character = widen(name);
    if (character.size() == 1) {
        char32_t c = character[0] >= U'A' && character[0] <= U'Z' ? character[0] + (U'a' - U'A') : character[0];
        if (int key = finder ? finder(c) : 0) return key;
        if (c >= U'a' && c <= U'z') return static_cast<int>(c - U'a') + 'A';
        if (c >= U'0' && c <= U'9') return static_cast<int>(c);
    }
    for (const KeyWord& word : keyWords) {
        if (word.word == lower || (character.size() == 1 && word.character == character)) return word.key;
    }
    return 0;
}

// The slot of a shortcut action, or -1.
int shortcutSlotOf(const std::string& action)
{
    for (size_t slot = 0; slot < shortcutSlots; ++slot) {
        const ControlShortcut& shortcut = keyRows[slot / shortcutsPerRow].shortcuts[slot % shortcutsPerRow];
        if (shortcut.run && shortcut.action == action) return static_cast<int>(slot);
    }
    return -1;
}

// The note place of an action ("note_0" to "note_28", the marks), or -1.
int notePlaceOf(const std::string& action)
{
    for (size_t i = 0; i < std::size(markActions); ++i) {
        if (!markActions[i].empty() && markActions[i] == action) return static_cast<int>(noteKeys.size() + i);
    }
    if (action.rfind("note_", 0) != 0 || action.size() < 6 || action.size() > 7) return -1;
    int number = 0;
    for (char c : action.substr(5)) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number < static_cast<int>(noteKeys.size()) ? number : -1;
}

// Binds one line; an empty text when it did, else what is wrong with it.
std::string bindLine(const std::string& line, const KeyFinder& finder, KeyBindings& bindings)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos) return "no \"action = key\"";
    std::string action = lowerCase(trimmed(line.substr(0, equals)));
    std::string name = trimmed(line.substr(equals + 1));
    int key = keyNamed(name, finder);
    if (key == 0) return "no key \"" + name + "\"";
    if (int slot = shortcutSlotOf(action); slot >= 0) {
        bindings.shortcuts[static_cast<size_t>(slot)] = key;
    } else if (int place = notePlaceOf(action); place >= 0) {
        bindings.notePlaces[static_cast<size_t>(place)] = key;
        if (action == "note_off") bindings.notePlaces[secondNoteOff] = -1;
    } else {
        return "no action \"" + action + "\"";
    }
    return std::string();
}

} // namespace

KeyBindings parseKeyBindings(const std::string& text, const KeyFinder& finder, std::vector<std::string>& complaints)
{
    KeyBindings bindings {std::vector<int>(shortcutSlots), std::vector<int>(notePlaceCount)};
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::string wrong = bindLine(line, finder, bindings);
        if (!wrong.empty()) complaints.push_back("line " + std::to_string(number) + ": " + wrong + ": " + line);
    }
    return bindings;
}

std::string keyFilePath()
{
    std::string settings = settingsFilePath();
    size_t slash = settings.rfind('/');
    return slash == std::string::npos ? std::string() : settings.substr(0, slash + 1) + "keys";
}

int boundShortcutKey(const KeyBindings& bindings, size_t slot)
{
    return bindings.shortcutKey(slot, keyRows[slot / shortcutsPerRow].shortcuts[slot % shortcutsPerRow].key);
}

char32_t boundNoteAt(const KeyBindings& bindings, int key)
{
    for (size_t place = 0; place < notePlaceCount; ++place) {
        if (bindings.notePlaceKey(place, noteKeyPlaces[place].key) == key) return noteKeyPlaces[place].note;
    }
    return 0;
}
