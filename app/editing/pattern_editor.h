// The pattern editor: the cursor's keys, notes and volume digits at the
// cursor, row and position edits, transposing and the block copy (Shift,
// F9, F10). Its step runs while the song does not play.
#pragma once

#include "app/editing/note_cursor.h"
#include "player/row_timeline.h"
#include "song/song_model.h"

#include <array>
#include <optional>
#include <utility>

class c_InputDevice;
class NoteKeys;
class NotePreview;
class SongFiles;
class Transport;
class UndoHistory;
class UnsavedWork;

class PatternEditor {
public:
    PatternEditor(Song& song, NoteCursor& cursor, Transport& transport, UndoHistory& undo, UnsavedWork& unsaved,
                  const NoteKeys& keys, NotePreview& preview, const SongFiles& files);

    // The editor's step, as the ordered list of its phases; wheel is the
    // step's mouse wheel.
    void step(c_InputDevice& input, float wheel);
    // Replaces one character of a column, keeping its length.
    void setCell(int column, int index, char32_t ch);
    // The minus and plus buttons of the song settings and the instrument
    // panel; every value is kept in its range, clicked or not.
    void spinPanel(const c_InputDevice& input);
    // The note the next step will sound, if nothing else it reads could
    // change what it does: the note's character and octave.
    std::optional<std::pair<char32_t, int>> noteAhead(const c_InputDevice& input) const;
    // Neither playing nor typing a name.
    bool patternEditable() const;

    // The marked rows of the pattern, from the first to before the end; the
    // end follows the cursor while marking.
    struct BlockMark {
        bool marking = false;
        int start = 0;
        int end = 0;
    };
    const BlockMark& block() const { return block_; }
    // The four columns of the cursor channel copied last (F9).
    const std::array<String, 4>& copiedBlock() const { return clipboard; }
    // A copy of the marked rows ends the marking.
    void endMarking() { block_.marking = false; }
    // Ctrl+L while playing: loops the marked rows, else the whole pattern;
    // again, releases the loop.
    void toggleLoop();

private:
    void positionButtons(const c_InputDevice& input);
    void insertPosition();
    void deletePosition();
    void columnKeys(const c_InputDevice& input);
    void positionKeys(const c_InputDevice& input, float wheel);
    void rowKeys(const c_InputDevice& input);
    char32_t fetchCharacter(c_InputDevice& input);
    void laterCharacters(c_InputDevice& input);
    void volumeDigitEntry(char32_t ch);
    void transposeKeys(const c_InputDevice& input);
    void transposeChannel(int step);
    void blockMarking(const c_InputDevice& input);
    void blockPaste(const c_InputDevice& input);
    void rowDelete(const c_InputDevice& input);
    void rowInsert(const c_InputDevice& input);
    void noteEntry(char32_t ch);
    void placeNoteEntry(const c_InputDevice& input);
    void midiNoteEntry(const c_InputDevice& input);
    void enterMidiNote(int note, int velocity);
    // Writes or sounds one note at the cursor; volume 0 keeps the typed rule.
    void enterNote(char32_t ch, int noteOctave, char32_t volume);
    int cursorIndex() const;
    PlayPlace entryPlace() const;
    int entryIndex() const;

    Song& song;
    NoteCursor& cursor;
    Transport& transport;
    UndoHistory& undo;
    UnsavedWork& unsaved;
    const NoteKeys& keys;
    NotePreview& preview;
    const SongFiles& files;
    BlockMark block_;
    std::array<String, 4> clipboard;
    int upHeldSteps = 0;
    int downHeldSteps = 0;
    std::array<String, 4> insertScratch;
    // The row heard when the step began, while live with FLW On.
    std::optional<PlayPlace> heardPlace;
};
