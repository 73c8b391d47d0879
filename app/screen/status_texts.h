// The status row's words for what the transport, the song files, the
// unsaved work and the export report; each is written here once.
#pragma once

#include "app/files/instrument_library.h"
#include "song/song_file.h"

#include <array>

// The transport's three states.
constexpr char32_t statusStandby[] = U"Standby...";
constexpr char32_t statusEditing[] = U"Editing...";
constexpr char32_t statusPlaying[] = U"Playing...";
// Playing with live editing on.
constexpr char32_t statusRecording[] = U"Recording...";
// A loop while playing: the whole pattern (before its number), or some of
// its rows (before the first and last, in the grid's hexadecimal).
constexpr char32_t statusLoopPattern[] = U"Loop pattern ";
constexpr char32_t statusLoopRows[] = U"Loop rows ";
// How many update steps (two seconds) an outcome stays in view while the
// song plays before the transport's word returns.
constexpr int outcomeHoldSteps = 2 * 50;

constexpr char32_t statusFileSaved[] = U"File Saved...";
constexpr char32_t statusEnterName[] = U"Enter a Name...";
constexpr char32_t statusSavingFailed[] = U"Saving Failed!";
constexpr char32_t statusFileLoaded[] = U"File Loaded...";
constexpr char32_t statusFileNotFound[] = U"File not found!";
// Loaded, but the song's own waves were cut short or broken in the file.
constexpr char32_t statusWavesDamaged[] = U"Loaded; waves damaged!";
// While the pointer rests on the logo, which opens the key help when clicked.
constexpr char32_t statusLogoHint[] = U"Ctrl+H or click: keys  Ctrl+O: songs";
// Ctrl+N: done, or asked to press again over unsaved changes.
constexpr char32_t statusNewSong[] = U"New Song...";
constexpr char32_t statusNewSongGuard[] = U"Unsaved changes: Ctrl+N again";
// Ctrl+V with text on the clipboard that is no pattern text.
constexpr char32_t statusNoPatternText[] = U"No Pattern Text!";
// Ctrl+V when the clipboard's owner gave no answer in time, or more text
// than a paste could ever use: nothing is pasted.
constexpr char32_t statusClipboardNoAnswer[] = U"No Clipboard Answer!";
constexpr char32_t statusClipboardTooLarge[] = U"Clipboard Too Large!";
// The file is there but the disk failed while it was read: nothing is taken.
constexpr char32_t statusLoadingFailed[] = U"Loading Failed!";
// The unsaved song of a session that ended without saving it.
constexpr char32_t statusUnsavedRestored[] = U"Unsaved song restored";
constexpr char32_t statusUnsavedNotKept[] = U"Unsaved song not kept!";
// An export: its format chosen, its progress (before the percentage), and its
// outcome (the done one before the file's name).
constexpr char32_t statusExportFormat[] = U"Export format: ";
constexpr char32_t statusExporting[] = U"Exporting ";
constexpr char32_t statusExported[] = U"Exported ";
constexpr char32_t statusExportFailed[] = U"Export Failed!";

// The instrument library: an instrument taken into the current one, or
// one whose file has a bad line; saving the current one.
constexpr char32_t statusInstrumentLoaded[] = U"Instrument Loaded...";
constexpr char32_t statusInstrumentNotRead[] = U"Instrument file has a bad line!";
// A wave for the song (an instrument's own, or a stock wave the editor copies)
// while its eight slots hold other waves.
constexpr char32_t statusNoWaveSlot[] = U"All 8 own waves used: none free!";
constexpr char32_t statusInstrumentSaved[] = U"Instrument Saved...";
constexpr char32_t statusInstrumentNoName[] = U"Type a name, then F11 to save";
constexpr char32_t statusInstrumentBadName[] = U"Names: letters, digits, - _ and blanks";

// Indexed by SaveOutcome.
constexpr std::array<const char32_t*, 3> saveStatusTexts = {statusFileSaved, statusEnterName, statusSavingFailed};
static_assert(static_cast<int>(SaveOutcome::saved) == 0 && static_cast<int>(SaveOutcome::noName) == 1 &&
                  static_cast<int>(SaveOutcome::failed) == 2,
              "one text for each outcome, in order");

constexpr const char32_t* saveStatusText(SaveOutcome outcome) { return saveStatusTexts[static_cast<size_t>(outcome)]; }

// Indexed by InstrumentSaveOutcome.
constexpr std::array<const char32_t*, 4> instrumentSaveStatusTexts = {
    statusInstrumentSaved, statusInstrumentNoName, statusInstrumentBadName, statusSavingFailed};

constexpr const char32_t* instrumentSaveStatusText(InstrumentSaveOutcome outcome)
{
    return instrumentSaveStatusTexts[static_cast<size_t>(outcome)];
}
