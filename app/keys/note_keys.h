// How keys become notes: the keyboard layout (LAYOUT), note keys by their
// place or by their characters (Ctrl+K), the key file's bindings and whether
// a MIDI note's velocity sets its volume.
#pragma once

#include "app/keys/key_bindings.h"
#include "base/text.h"

class c_InputDevice;

class NoteKeys {
public:
    // The settings and the key file, read at the start.
    void readSettings(const c_InputDevice& input);
    // LAYOUT: DE or US; no change while note keys go by place.
    void toggleLayout(const c_InputDevice& input);
    // Ctrl+K; remembered for the next start.
    void toggleNoteKeyMode();
    // Puts the note key mode, or the keyboard, into the LAYOUT field.
    void showLayout();
    // The US layout swaps the keys of "y" and "z" so that the note keyboard
    // keeps its shape.
    char32_t layoutCharacter(int typed) const;

    // LAYOUT's word: DE, US, or POS while note keys go by place.
    const String& layoutText() const { return layoutText_; }
    // The note keys go by their place on the keyboard, not by the characters
    // they type (note_keys=position in the settings file).
    bool byPlace() const { return noteKeysByPlace; }
    // The key file's bindings, read at the start.
    const KeyBindings& bindings() const { return keyBindings; }
    // Off: a MIDI note's volume digit follows the typed rule, not the velocity.
    bool midiVelocity() const { return midiVelocity_; }
    void useMidiVelocity(bool on) { midiVelocity_ = on; }

private:
    void readKeyFile(const c_InputDevice& input);

    int layoutIndex = 0;  // 0 DE, 1 US
    String layoutText_ = U"DE";
    bool noteKeysByPlace = false;
    KeyBindings keyBindings;
    bool midiVelocity_ = true;
};
