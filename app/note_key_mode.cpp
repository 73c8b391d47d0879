#include "app/sound_engine.h"

#include "app/note_key_places.h"
#include "host/input_device.h"
#include "host/settings_file.h"

namespace {
constexpr char noteKeysSetting[] = "note_keys";
} // namespace

// ---- Note keys by place (the note_keys=position setting, Ctrl+K) ----

void c_SoundEngine::readNoteKeySetting()
{
    noteKeysByPlace = readSetting(settingsFilePath(), noteKeysSetting) == "position";
    showLayout();
}

// LAYOUT shows POS while note keys go by place, else the keyboard the
// characters are read for.
void c_SoundEngine::showLayout() { layoutText = noteKeysByPlace ? U"POS" : layoutIndex ? U"US" : U"DE"; }

// Remembered for the next start.
void c_SoundEngine::toggleNoteKeyMode()
{
    noteKeysByPlace = !noteKeysByPlace;
    showLayout();
    writeSetting(settingsFilePath(), noteKeysSetting, noteKeysByPlace ? "position" : "characters");
}

// The step's presses at note places, in order, each as a typed note would
// be; presses with Control are shortcuts.
void c_SoundEngine::placeNoteEntry()
{
    if (!noteKeysByPlace || textFieldActive() || cursorColumn % 2 == 0) return;
    for (int i = 0; i < input().pressCount(); ++i) {
        char32_t note = noteAtPlace(input().pressedKey(i));
        if (!note || (input().pressModifiers(i) & modifierControl)) continue;
        // The next step's row keys would bring a cursor below the last row back to the first.
        if (cursorRow > rowsPerPattern) cursorRow = 1;
        enterNote(note, octave, 0);
    }
}
