#include "app/keys/note_keys.h"

#include "app/keys/key_table.h"
#include "app/keys/user_input.h"
#include "base/file_loading.h"
#include "base/settings_file.h"
#include "host/input_device.h"

#include <cstdio>

namespace {
constexpr char noteKeysSetting[] = "note_keys";
constexpr char layoutSetting[] = "layout";
// Hundreds of bindings; a longer file is refused whole, never cut mid-line.
constexpr size_t keyFileLimit = 64 * 1024;

// The key codes a key file's character may name.
std::vector<int> nameableKeys()
{
    std::vector<int> keys;
    for (int key = '0'; key <= '9'; ++key) keys.push_back(key);
    for (int key = 'A'; key <= 'Z'; ++key) keys.push_back(key);
    for (const KeyWord& word : keyWords) keys.push_back(word.key);
    return keys;
}

// The file's text; empty when there is none, or when it cannot be read, which
// standard error then says.
std::string keyFileText(const std::string& path)
{
    SmallFile file = readSmallFile(path, keyFileLimit);
    if (file.refusal)
        std::fprintf(stderr, "kovo-tracker: key file %s not read: %s\n", escapedBytes(path).c_str(), file.refusal);
    return file.bytes ? std::string(file.bytes->begin(), file.bytes->end()) : std::string();
}
} // namespace

// Bad lines are named on standard error; the others bind.
void NoteKeys::readKeyFile(const c_InputDevice& input)
{
    std::string path = keyFilePath();
    if (path.empty()) return;
    const c_InputDevice& keys = input;
    KeyFinder finder = [&keys](char32_t character) {
        for (int key : nameableKeys()) {
            String cap = keys.keyName(key);
            if (cap.size() == 1 && (cap[0] == character || (cap[0] >= U'A' && cap[0] <= U'Z' && cap[0] + 32 == character)))
                return key;
        }
        return 0;
    };
    std::vector<std::string> complaints;
    keyBindings = parseKeyBindings(keyFileText(path), finder, complaints);
    for (const std::string& complaint : complaints)
        std::fprintf(stderr, "kovo-tracker: %s %s\n", escapedBytes(path).c_str(), escapedBytes(complaint).c_str());
}

// ---- Note keys by place (the note_keys=position setting, Ctrl+K) ----

// The MIDI velocity, the note key mode, the layout and the key file.
void NoteKeys::readSettings(const c_InputDevice& input)
{
    midiVelocity_ = readSetting(settingsFilePath(), "midi_velocity") != "off";
    noteKeysByPlace = readSetting(settingsFilePath(), noteKeysSetting) == "position";
    layoutIndex = readSetting(settingsFilePath(), layoutSetting) == "us" ? 1 : 0;
    showLayout();
    readKeyFile(input);
}

void NoteKeys::toggleLayout(const c_InputDevice& input)
{
    // While note keys go by place the keyboard's layout does not matter.
    if (!clickedAny(input, buttons::layout) || noteKeysByPlace) return;
    layoutIndex = 1 - layoutIndex;
    showLayout();
    writeSetting(settingsFilePath(), layoutSetting, layoutIndex ? "us" : "de");
}

char32_t NoteKeys::layoutCharacter(int typed) const
{
    auto ch = static_cast<char32_t>(typed);
    if (layoutIndex == 1) {
        if (ch == U'y' || ch == U'Y') return U'z';
        if (ch == U'z' || ch == U'Z') return U'y';
    }
    return ch;
}

// LAYOUT shows POS while note keys go by place, else the keyboard the
// characters are read for.
void NoteKeys::showLayout() { layoutText_ = noteKeysByPlace ? U"POS" : layoutIndex ? U"US" : U"DE"; }

// Remembered for the next start.
void NoteKeys::toggleNoteKeyMode()
{
    noteKeysByPlace = !noteKeysByPlace;
    showLayout();
    writeSetting(settingsFilePath(), noteKeysSetting, noteKeysByPlace ? "position" : "characters");
}
