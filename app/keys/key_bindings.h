// Keys of one's own: the key file beside the settings file holds
// "action = key" lines that bind the Control shortcuts, and the note keys by
// place, to other keys.
#pragma once

#include <functional>
#include <string>
#include <vector>

// For each shortcut slot of the key table and each note place, the key code
// bound to it: 0 where the table's own key holds, -1 for a place left
// without a key.
struct KeyBindings {
    std::vector<int> shortcuts;
    std::vector<int> notePlaces;

    int shortcutKey(size_t slot, int tableKey) const
    {
        return slot < shortcuts.size() && shortcuts[slot] ? shortcuts[slot] : tableKey;
    }
    int notePlaceKey(size_t place, int tableKey) const
    {
        return place < notePlaces.size() && notePlaces[place] ? notePlaces[place] : tableKey;
    }
};

// The key whose cap prints a character on the keyboard in use; 0 when none
// does (or none is known).
using KeyFinder = std::function<int(char32_t)>;

// The bindings of the key file's text. A key is one character, as the
// keyboard in use prints it (else as a US keyboard does), or a word such as
// "comma"; "#" starts a comment. Each line that binds nothing is described in
// complaints ("line 3: ...") and skipped.
KeyBindings parseKeyBindings(const std::string& text, const KeyFinder& finder, std::vector<std::string>& complaints);

// The key file: "keys" beside the settings file; empty when there is no
// settings folder.
std::string keyFilePath();

// The key with Control that runs a slot's shortcut, and what a note place
// enters (0 for a key at no place), with the bindings in force.
int boundShortcutKey(const KeyBindings& bindings, size_t slot);
char32_t boundNoteAt(const KeyBindings& bindings, int key);
