// Every key and button of the tracker, as the help shows them. The Control
// shortcuts are run from this table too, so the help cannot drift from what
// they do: a new shortcut is one more row (or one more entry of a row).
#pragma once

#include "host/key_translation.h"

#include <array>
#include <string_view>

// What a Control shortcut does; the application runs it.
enum ShortcutAction : int {
    noAction = 0,
    undoAction,
    redoAction,
    copyAction,
    copyAllChannelsAction,
    cutAction,
    pasteAction,
    mixPasteAction,
    noteKeysAction,
    exportAction,
    exportFormatAction,
    enlargeWindowAction,
    shrinkWindowAction,
    songListAction,
    keyHelpAction,
    liveAction,
    loopAction,
    playRowAction,
    newSongAction,
    scopesAction,
    themeAction,
    instrumentsAction,
    waveEditorAction,
};

struct ControlShortcut {
    int key = 0;  // application key code, pressed with Control
    ShortcutAction run = noAction;
    std::string_view action;   // its name in the key file
    bool overOverlay = false;  // also acts while the song list or the help is shown
    bool withShift = false;    // Control and Shift; the key's plain shortcut then takes no Shift
};

struct KeyRow {
    std::u32string_view keys;
    std::u32string_view action;
    std::array<ControlShortcut, 3> shortcuts {};
};

// In the order the README's table lists them.
constexpr KeyRow keyRows[] = {
    {U"Space, EDIT", U"switch between Standby and Editing (notes are written only while Editing)"},
    {U"F1 / F2, PLAY", U"play from the start / from the current position; again to stop"},
    {U"HOME", U"back to position 0, row 0"},
    {U"UNDO, Ctrl+Z",
     U"undo the last note entry (edits since then go with it); up to 31 steps back, then the song a LOAD replaced",
     {{{'Z', undoAction, "undo"}}}},
    {U"Ctrl+Y", U"redo what was undone (a LOAD too), until the next note is entered",
     {{{'Y', redoAction, "redo"}}}},
    {U"y s x d c v g b h n j m, q 2 w 3 e r 5 t 6 z 7 u i 9 o 0 p",
     U"notes (LAYOUT US swaps y and z); < note off, +/# slide, - pattern end, . clear"},
    {U"0-9 a-f in a volume column", U"volume digit"},
    {U"arrows, Tab, Page Up/Down, wheel", U"cursor, channel, position"},
    {U"Home / End, Ctrl+Home / Ctrl+End", U"the pattern's first / last row; the song's first / last position"},
    {U"F3 / F4", U"transpose the channel's notes down / up"},
    {U"Backspace / Insert", U"delete / insert a row in the channel"},
    {U"Shift, F9, F10", U"mark a block, copy it, paste it at the cursor"},
    {U"Ctrl+C / Ctrl+Shift+C, Ctrl+X",
     U"copy the marked rows (or the cursor row) of the cursor channel / of all four channels to the system "
     U"clipboard as pattern text; cut them from the cursor channel",
     {{{'C', copyAction, "copy"},
       {'C', copyAllChannelsAction, "copy_all_channels", false, true},
       {'X', cutAction, "cut"}}}},
    {U"Ctrl+V / Ctrl+Shift+V",
     U"paste pattern text of other trackers (OpenMPT's, Furnace's) at the cursor / only into empty cells; "
     U"one undo step",
     {{{'V', pasteAction, "paste"}, {'V', mixPasteAction, "mix_paste", false, true}}}},
    {U"F5-F8, the on/off words", U"channels on and off"},
    {U"click / right-click a channel's meter or scope",
     U"the channel on or off / only that channel on (right-click it again: all four on)"},
    {U"FLW", U"while playing, the grid follows the playing pattern (On) or stays (Off)"},
    {U"LAYOUT", U"DE or US keyboard for the note keys"},
    {U"Ctrl+K",
     U"note keys by their place on the keyboard, the same piano shape on every layout (LAYOUT says POS), or by "
     U"the characters they type (remembered for the next start)",
     {{{'K', noteKeysAction, "note_keys"}}}},
    {U"INSERT / DELETE (below the pattern's - +)", U"insert a position / delete the current one"},
    {U"click the name line, type, Enter; F11 / F12", U"name the song; save / load it"},
    {U"Ctrl+N", U"a new, blank and unnamed song (with unsaved changes, press it again); Ctrl+Z brings the old one back",
     {{{'N', newSongAction, "new_song"}}}},
    {U"the - + buttons", U"octave, speed, length, instrument and its parameters, pattern of the position"},
    {U"Ctrl+E",
     U"export the song as it is in the editor to <name>.wav in the songs folder (or the format Ctrl+F chose: "
     U".flac, .ogg, .opus, .mp3, or the notes as .mod or .mid; the status row shows \"Exporting NN%\", then \"Exported\" and the file's whole "
     U"path, as far as it fits, or \"Export Failed!\"; the path in full on standard output); playing and editing go "
     U"on meanwhile",
     {{{'E', exportAction, "export"}}}},
    {U"Ctrl+F",
     U"the next export format: WAV, FLAC, Vorbis, Opus, MP3, MOD, MIDI (the status row says \"Export format: FLAC\"; "
     U"remembered for the next start)",
     {{{'F', exportFormatAction, "export_format"}}}},
    {U"Ctrl+= / Ctrl+-", U"show the window 1 to 4 times larger / smaller (remembered for the next start)",
     {{{keyEquals, enlargeWindowAction, "enlarge_window", true}, {keyMinus, shrinkWindowAction, "shrink_window", true}}}},
    {U"Ctrl+O",
     U"the song list: type to narrow it, arrows or the mouse to choose, F1 to listen, Enter or a double click to "
     U"load, Escape to close",
     {{{'O', songListAction, "song_list", true}}}},
    {U"Ctrl+H", U"this list of keys; Page Up/Down to turn the page, Escape to close",
     {{{'H', keyHelpAction, "key_help", true}}}},
    {U"Ctrl+R",
     U"live editing: while playing, edit and record into the song as it plays (the status row says "
     U"\"Recording...\"; with FLW On the cursor follows and a note lands on the row heard); not playing, play "
     U"from the current position with it; again to leave it",
     {{{'R', liveAction, "live"}}}},
    {U"Ctrl+L", U"while playing, loop the pattern (or the marked block's rows) until Ctrl+L again",
     {{{'L', loopAction, "loop"}}}},
    {U"Ctrl+Enter", U"not playing, sound the cursor row on all four channels and step one row down",
     {{{keyEnter, playRowAction, "play_row"}}}},
    {U"Ctrl+G",
     U"channel scopes in the meters' place: what each channel sounds, both oscillators at its volume, or the "
     U"meters again (remembered for the next start)",
     {{{'G', scopesAction, "scopes"}}}},
    {U"Ctrl+T",
     U"the next colour theme: default, then the shipped and your own by name (the status row says \"Theme: "
     U"high-contrast\"; remembered for the next start)",
     {{{'T', themeAction, "theme"}}}},
    {U"Ctrl+I",
     U"the instrument library: type to find, F1 to listen, Enter or a double click to load into the current "
     U"instrument (one undo step), type a name and F11 to save the current one; Escape to close. The last pages "
     U"here say what each parameter does",
     {{{'I', instrumentsAction, "instruments", true}}}},
    {U"Ctrl+W",
     U"the waveform editor of the current instrument: drag to draw (Shift+drag a line), F1-F7 sine, square, "
     U"pulse 25 % and 12.5 %, saw, triangle, noise, 1-7 the stock waves, Tab a WAV file of the waves folder or a "
     U"typed path, Space holds a note; a stock wave is edited as a copy in the song's first free WAV 8-F; each "
     U"stroke, shape or import is one undo step; Escape to close",
     {{{'W', waveEditorAction, "wave_editor", true}}}},
};
static_assert(std::size(keyRows) == 35);
// The row of the note keys.
constexpr size_t noteKeysRow = 5;
static_assert(keyRows[noteKeysRow].keys.substr(0, 2) == U"y ");

// Shortcuts are counted in slots, as many to a row as a row holds.
constexpr size_t shortcutsPerRow = std::tuple_size_v<decltype(KeyRow::shortcuts)>;
constexpr size_t shortcutSlots = std::size(keyRows) * shortcutsPerRow;

// Keys other than letters, as the help names them and the key file may
// name them (a single character, or the word).
struct KeyWord {
    int key;
    std::u32string_view character;
    std::string_view word;
};
constexpr KeyWord keyWords[] = {
    {keyEquals, U"=", "equal"},      {keyMinus, U"-", "minus"},          {keyPeriod, U".", "period"},
    {keySlash, U"/", "slash"},       {keyGrave, U"`", "grave"},          {keyBackslash, U"\\", "backslash"},
    {keyRightBracket, U"]", "bracketright"}, {keyLeftBracket, U"[", "bracketleft"}, {keyComma, U",", "comma"},
    {keySemicolon, U";", "semicolon"}, {keyQuote, U"'", "apostrophe"}, {keyIsoExtra, U"<", "less"},
    {keyEnter, U"Enter", "enter"},
};

// The name of a key as the help writes it after "Ctrl+".
inline std::u32string_view shortcutKeyName(int key)
{
    constexpr std::u32string_view letters = U"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    if (key >= 'A' && key <= 'Z') return letters.substr(static_cast<size_t>(key - 'A'), 1);
    if (key >= '0' && key <= '9') return letters.substr(static_cast<size_t>(key - '0' + 26), 1);
    for (const KeyWord& word : keyWords) {
        if (word.key == key) return word.character;
    }
    return U"?";
}
