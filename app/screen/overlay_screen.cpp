// The song list and the key help as they are drawn over the pattern grid and
// the position list, in the screen's font and colours.
#include "app/screen/screen_painter.h"

#include "app/files/file_place.h"
#include "app/files/unsaved_work.h"
#include "app/screen/overlays.h"

#include "app/editing/cell_text.h"
#include "app/keys/key_help.h"
#include "app/screen/screen_fill.h"
#include "app/screen/screen_layout.h"
#include "audio/audio_device.h"
#include "graphics/drawing.h"
#include "graphics/font.h"
#include "graphics/graphics_context.h"

#include "app/editing/wave_editor.h"
#include "song/wave_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr char32_t unsavedTitle[] = U"SONG LIST - current song unsaved";
constexpr char32_t plainTitle[] = U"SONG LIST";
constexpr char32_t findLabel[] = U"Find: ";
constexpr char32_t readingLine[] = U"Reading the songs folder...";
constexpr char32_t emptyFolderLine[] = U"No songs in the songs folder";
constexpr char32_t noMatchLine[] = U"No song name holds that text";
constexpr char32_t listHint[] = U"Enter load  F1 listen  Esc close";
constexpr char32_t auditionHint[] = U"Playing: F1 or a move stops it";
// Shown over two lines, split after the colon.
constexpr std::u32string_view guardMessage = U"Unsaved changes: Enter again to load";
constexpr char32_t helpTitle[] = U"KEYS AND BUTTONS";
constexpr char32_t libraryTitle[] = U"INSTRUMENTS into instrument ";
constexpr char32_t libraryHeader[] = U"Name         Description";
constexpr char32_t emptyLibraryLine[] = U"No instruments found";
constexpr char32_t noInstrumentMatchLine[] = U"None holds that text: F11 saves";
constexpr char32_t libraryHint[] = U"Enter load  F1 hear  F11 save  Esc";
constexpr char32_t libraryAuditionHint[] = U"Playing: F1 or a move stops it";
constexpr char32_t helpHint[] = U"Page Up/Down: page  Esc: close";
constexpr char32_t waveHints[][overlayColumns + 1] = {
    U"Drag: draw  Shift+drag: a line",
    U"F1-F7: sine square pulse 25% 12.5%",
    U"       saw triangle noise",
    U"1-7: stock waves  Tab: WAV file",
    U"Space: hear  Ctrl+Z/Y  Esc: close",
};
constexpr char32_t waveImportTitle[] = U"IMPORT A SINGLE-CYCLE WAV FILE";
constexpr char32_t waveImportHeader[] = U"Waves folder, or type a /path";
constexpr char32_t noWavesLine[] = U"No WAV files in the waves folder";
constexpr char32_t waveImportHint[] = U"Enter import  Tab back  Esc";
// The first line below the wave's box.
constexpr int waveHintLine = 23;

const Colour& inkColour(const Theme& theme, OverlayView::Ink ink)
{
    switch (ink) {
    case OverlayView::title: return theme.statusText;
    case OverlayView::heading: return theme.beat;
    case OverlayView::detail: return theme.description;
    default: return theme.text;
    }
}

// The sound device's own figure for the way from the mixer to the speaker,
// where a musician looks for what to expect of the keys.
String soundLatencyLine()
{
    const gxtkAudio* audio = gxtkAudio::audio();
    if (!audio || !audio->hasDevice()) return U"No sound device";
    if (audio->outputLatency() <= 0) return U"Sound output latency: unknown";
    char text[40];
    std::snprintf(text, sizeof text, "Sound output latency: %.1f ms", audio->outputLatency() * 1000);
    return widen(text);
}

// A text in the overlay's width with another one flush right after it.
String withRightPart(String left, const String& right)
{
    size_t room = overlayColumns - right.size() - 1;
    if (left.size() > room) left.resize(room);
    left.resize(overlayColumns - right.size(), U' ');
    return left + right;
}

String cutToWidth(const String& text)
{
    return text.size() <= overlayColumns ? text : text.substr(0, overlayColumns - 1) + U"~";
}

// A list's find line, the count flush right and the caret after the typed
// text, and its column header below.
void composeFindLines(OverlayView& view, const String& filter, const String& count, const char32_t* header)
{
    String find = findLabel + shownText(filter);
    view.lines[1] = withRightPart(find, count);
    size_t caretCell = std::min(find.size(), overlayColumns - count.size() - 1);
    view.caret = {true, layout::glyphAdvance * static_cast<float>(caretCell - 1), overlayLineY(1)};
    view.lines[2] = header;
    view.inks[2] = OverlayView::heading;
}

} // namespace

void ScreenPainter::paintOverlay()
{
    composeOverlay(overlayComposed);
    if (trackScreenChanges && screenRecord.overlayValid && overlayComposed == screenRecord.overlay) return;
    drawOverlay(overlayComposed);
    std::swap(overlayComposed, screenRecord.overlay);
    screenRecord.overlayValid = true;
    // The first line's letters reach up into the title bar.
    screenRecord.titleBarValid = false;
}

// What the body showed before the overlay covered it, drawn again as it was.
void ScreenPainter::restoreBodyUnderOverlay()
{
    overlays.bodyRestored();
    if (!screenRecord.overlayValid) return;  // a body drawn since covers it already
    drawBody(screenRecord.body);
    screenRecord.bodyDrawn();
}

void ScreenPainter::composeOverlay(OverlayView& view) const
{
    for (String& line : view.lines) line.clear();
    view.inks.fill(OverlayView::text);
    view.highlightLine = -1;
    view.caret = CaretPlace();
    view.wave.reset();
    if (overlays.which() == Overlay::songList) composeSongList(view);
    if (overlays.which() == Overlay::keyHelp) composeKeyHelp(view);
    if (overlays.which() == Overlay::instruments) composeInstruments(view);
    if (overlays.which() == Overlay::waveEditor && !overlays.waveEditor().importing()) composeWaveEditor(view);
    if (overlays.which() == Overlay::waveEditor && overlays.waveEditor().importing()) composeWaveImport(view);
}

// The title names the wave; the box below it shows the wave, its hints under it.
void ScreenPainter::composeWaveEditor(OverlayView& view) const
{
    const WaveEditor& editor = overlays.waveEditor();
    view.lines[0] = cutToWidth(editor.title());
    view.inks[0] = OverlayView::title;
    view.lines[1] = U"Instrument " + byteHex(cursor.instrument) + (editor.holdsNote() ? U"  note held" : U"");
    view.inks[1] = OverlayView::detail;
    view.wave = editor.shownWave();
    for (size_t i = 0; i < std::size(waveHints); ++i) {
        view.lines[waveHintLine + 1 + i] = waveHints[i];
        view.inks[waveHintLine + 1 + i] = OverlayView::heading;
    }
}

// As the song list: the typed text, then the folder's WAV files.
void ScreenPainter::composeWaveImport(OverlayView& view) const
{
    const WaveEditor& editor = overlays.waveEditor();
    const SongList& list = editor.waveFiles();
    view.lines[0] = waveImportTitle;
    view.inks[0] = OverlayView::title;
    // A long path shows its end, where the file's name is.
    String count = intText(list.shownCount()) + U"/" + intText(list.totalCount());
    String typed = shownText(editor.typed());
    size_t room = overlayColumns - std::size(findLabel) - count.size();
    if (typed.size() > room) typed = U"~" + typed.substr(typed.size() - room + 1);
    composeFindLines(view, typed, count, waveImportHeader);
    int first = Overlays::songListFirstEntryLine;
    if (list.shownCount() == 0 && list.totalCount() == 0) view.lines[first] = noWavesLine;
    for (int i = 0; i < Overlays::songListEntryLines && list.top() + i < list.shownCount(); ++i)
        view.lines[first + i] = cutToWidth(list.shownEntry(list.top() + i).line);
    if (list.highlighted()) view.highlightLine = first + list.highlight() - list.top();
    view.lines[Overlays::overlayLines - 1] = waveImportHint;
    view.inks[Overlays::overlayLines - 1] = OverlayView::heading;
}

// A bar from the middle line to each frame's value, and the box's frame.
void ScreenPainter::drawWave(const OwnWave& wave)
{
    const float middle = (waveBox.top + waveBox.bottom) / 2;
    const float half = (waveBox.bottom - waveBox.top) / 2;
    tint(theme_.frame);
    fillRect(waveBox.left, waveBox.top, waveBox.right - waveBox.left, waveBox.bottom - waveBox.top);
    tint(theme_.cursorBar);
    fillRect(waveBox.left, middle, waveBox.right - waveBox.left, 1);
    tint(theme_.scope);
    for (int i = 0; i < ownWaveFrames; ++i) {
        float height = static_cast<float>(wave[i] / ownWavePeak) * half;
        float top = std::min(middle, middle - height);
        fillRect(waveBox.left + waveColumnWidth * static_cast<float>(i), top, waveColumnWidth - 1,
                 std::max(1.0f, std::fabs(height)));
    }
}

// Laid out as the song list; the find line also names what F11 saves.
void ScreenPainter::composeInstruments(OverlayView& view) const
{
    const SongList& list = overlays.instruments();
    view.lines[0] = libraryTitle + byteHex(cursor.instrument);
    view.inks[0] = OverlayView::title;
    composeFindLines(view, list.filter(), intText(list.shownCount()) + U"/" + intText(list.totalCount()), libraryHeader);
    int first = Overlays::songListFirstEntryLine;
    if (list.shownCount() == 0) view.lines[first] = list.totalCount() == 0 ? emptyLibraryLine : noInstrumentMatchLine;
    for (int i = 0; i < Overlays::songListEntryLines && list.top() + i < list.shownCount(); ++i)
        view.lines[first + i] = list.shownEntry(list.top() + i).line;
    if (list.highlighted()) view.highlightLine = first + list.highlight() - list.top();
    int footer = first + Overlays::songListEntryLines + 1;
    if (const LibraryInstrument* item = overlays.highlightedInstrument()) {
        view.lines[footer - 1] = cutToWidth(item->origin);
        view.inks[footer - 1] = OverlayView::heading;
        view.lines[footer] = cutToWidth(item->problem.empty() ? shownText(list.highlighted()->name) : shownText(widen(item->problem)));
        view.inks[footer] = OverlayView::detail;
    }
    view.lines[footer + 1] = overlays.auditioning() ? libraryAuditionHint : libraryHint;
    view.inks[footer + 1] = OverlayView::heading;
}

void ScreenPainter::composeSongList(OverlayView& view) const
{
    const SongList& list = overlays.songs();
    view.lines[0] = unsaved.songChanged() ? unsavedTitle : plainTitle;
    view.inks[0] = OverlayView::title;
    String count = list.ready() ? intText(list.shownCount()) + U"/" + intText(list.totalCount()) : String();
    composeFindLines(view, list.filter(), count, songListHeader);
    int first = Overlays::songListFirstEntryLine;
    if (!list.ready() || list.shownCount() == 0) {
        view.lines[first] = !list.ready() ? readingLine : list.totalCount() == 0 ? emptyFolderLine : noMatchLine;
    }
    for (int i = 0; i < Overlays::songListEntryLines && list.top() + i < list.shownCount(); ++i)
        view.lines[first + i] = list.shownEntry(list.top() + i).line;
    const SongEntry* chosen = list.highlighted();
    if (chosen) view.highlightLine = first + list.highlight() - list.top();
    int footer = first + Overlays::songListEntryLines + 1;
    // Where the songs are, for a file manager or a backup.
    if (!overlays.songsFolder().empty()) {
        view.lines[footer - 1] = withoutMiddle(shownFilePlace(overlays.songsFolder()), overlayColumns);
        view.inks[footer - 1] = OverlayView::heading;
    }
    if (overlays.loadGuarded()) {
        size_t split = guardMessage.find(U':') + 1;
        view.lines[footer] = String(guardMessage.substr(0, split));
        view.lines[footer + 1] = String(guardMessage.substr(split + 1));
        view.inks[footer] = view.inks[footer + 1] = OverlayView::title;
        return;
    }
    if (chosen) view.lines[footer] = cutToWidth(shownText(chosen->name));
    view.inks[footer] = OverlayView::detail;
    view.lines[footer + 1] = overlays.auditioning() ? auditionHint : listHint;
    view.inks[footer + 1] = OverlayView::heading;
}

void ScreenPainter::composeKeyHelp(OverlayView& view) const
{
    int pages = overlays.keyHelpPageCount();
    view.lines[0] = withRightPart(helpTitle, intText(overlays.helpPageShown() + 1) + U"/" + intText(pages));
    view.inks[0] = OverlayView::title;
    const HelpPage& page = overlays.keyHelp()[static_cast<size_t>(overlays.helpPageShown())];
    for (size_t i = 0; i < page.size() && i < static_cast<size_t>(Overlays::helpBodyLines); ++i) {
        view.lines[1 + i] = page[i].text;
        view.inks[1 + i] = page[i].keys ? OverlayView::text : OverlayView::detail;
    }
    // The first page's last line, which its layout keeps free.
    if (overlays.helpPageShown() == 0 && page.size() < static_cast<size_t>(Overlays::helpBodyLines)) {
        view.lines[Overlays::helpBodyLines] = soundLatencyLine();
        view.inks[Overlays::helpBodyLines] = OverlayView::heading;
    }
    view.lines[Overlays::overlayLines - 1] = helpHint;
    view.inks[Overlays::overlayLines - 1] = OverlayView::heading;
}

void ScreenPainter::drawOverlay(const OverlayView& view)
{
    const ButtonRect& area = overlayArea;
    // Text drawn at x = 0 inks the frame's edge left of the grid: the grid's
    // row numbers there go too.
    tint(theme_.frame);
    fillRect(0, layout::rowHeight, area.left, area.bottom - layout::rowHeight);
    tint(theme_.grid);
    fillRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (view.highlightLine >= 0) {
        tint(theme_.cursorBar);
        fillRect(area.left, area.top + layout::rowHeight * static_cast<float>(view.highlightLine), area.right - area.left,
                 layout::rowHeight);
    }
    for (int line = 0; line < Overlays::overlayLines; ++line) {
        if (view.lines[line].empty()) continue;
        const Colour& ink = inkColour(theme_, view.inks[line]);
        tint(ink);
        drawString(view.lines[line], 0, overlayLineY(line));
    }
    if (view.wave) drawWave(*view.wave);
    if (view.caret.shown) {
        tint(theme_.caret);
        drawString(U" [", view.caret.x, view.caret.y);
    }
}
