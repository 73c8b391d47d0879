// A note is heard as soon as its key is read, not up to a step later: when
// the loop wakes for a key or a MIDI note between two update steps, the
// note's preview starts at once, with the gain and rates its step will give
// it. The step then does all it would have done; it only finds the sound
// already playing and does not start it a second time.
#include "app/sound_engine.h"

#include "app/editing/cell_text.h"
#include "app/files/song_files.h"
#include "app/keys/midi_notes.h"
#include "app/keys/note_keys.h"
#include "app/playing/transport.h"
#include "host/input_device.h"
#include "host/key_translation.h"

namespace {

// Nothing but typed characters or MIDI notes came in, and no press that
// could move the cursor, switch the transport or run a shortcut first: keys
// that only type do nothing in the editor but type their character.
bool onlyNotesPending(const c_InputDevice& in)
{
    if (in.wheelTurned()) return false;
    for (int i = 0; i < in.pressCount(); ++i)
        if (!isTypingKey(in.pressedKey(i)) || in.pressModifiers(i) != 0) return false;
    return true;
}

} // namespace

void c_SoundEngine::inputArrived()
{
    if (preview.aheadPending()) return;  // one per step: a second key waits for the step
    if (overlays.shown()) return;
    std::optional<std::pair<char32_t, int>> note = editor.noteAhead(input());
    if (note) preview.startAheadPreview(note->first, note->second);
}

// Only the plain cases: one note key typed into a note column, or one MIDI
// note, in Standby or Editing with nothing else going on. Anything more
// waits for its step as before.
std::optional<std::pair<char32_t, int>> PatternEditor::noteAhead(const c_InputDevice& in) const
{
    if (files.textFieldActive()) return std::nullopt;
    if (transport.state() != stateStandby && transport.state() != stateEditing) return std::nullopt;
    if (!onlyNotesPending(in)) return std::nullopt;
    int typed = in.pendingCharCount();
    if (typed == 1 && in.midiNotes().size() == 0) {
        // By place, the key's character says nothing of its note: its step decides.
        if (keys.byPlace()) return std::nullopt;
        char32_t ch = keys.layoutCharacter(in.pendingChar(0));
        if (!cursor.inNoteColumn() || !isNoteKey(ch)) return std::nullopt;
        return std::make_pair(ch, cursor.octave);
    }
    if (typed == 0 && in.midiNotes().size() == 1) {
        std::optional<MidiCell> cell = midiNoteCell(in.midiNotes().begin()->note, cursor.octave);
        if (cell) return std::make_pair(cell->note, cell->octave);
    }
    return std::nullopt;
}

