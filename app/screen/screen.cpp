#include "app/screen/screen_painter.h"

#include "app/editing/pattern_editor.h"
#include "app/files/song_files.h"
#include "app/files/unsaved_work.h"
#include "app/keys/note_keys.h"
#include "app/playing/transport.h"
#include "app/screen/overlays.h"

#include "app/editing/cell_text.h"
#include "app/screen/screen_colours.h"
#include "app/screen/screen_fill.h"
#include "app/screen/screen_layout.h"
#include "app/screen/status_fit.h"
#include "app/screen/status_texts.h"
#include "audio/audio_device.h"
#include "graphics/drawing.h"
#include "graphics/font.h"
#include "graphics/graphics_context.h"

#include <algorithm>
#include <cmath>

namespace {
const String logoHint = statusLogoHint;

constexpr int repaintInterval = RepaintRequest::stepsPerRepaint;
constexpr int meterFloor = 2;
constexpr int meterTop = static_cast<int>(layout::meterHeight);

// The grid reads past the last pattern slot while it plays the last rows of
// pattern 255; such cells show as blank.
char32_t cellOrBlank(const String& column, int index, char32_t blank)
{
    return index >= 0 && index < static_cast<int>(column.size()) ? column[index] : blank;
}

} // namespace

ScreenPainter::ScreenPainter(Song& song, NoteCursor& cursor, const Transport& transport, const PatternEditor& editor,
                             Overlays& overlays, const SongFiles& files, const NoteKeys& keys,
                             const SongIdentity& identity, const UnsavedWork& unsaved, const StatusRow& status,
                             RepaintRequest& repaints)
    : song(song), cursor(cursor), transport(transport), editor(editor), overlays(overlays), files(files), keys(keys),
      identity(identity), unsaved(unsaved), status(status), repaints(repaints)
{
}

ScreenPainter::~ScreenPainter() = default;

// With change tracking on, a part whose view has not changed since it was
// drawn is left as it stands.
void ScreenPainter::render()
{
    if (repaintPending) repaintEverything();
    if (repaints.due()) {
        fullRepaint();
        repaints.restart();
    }
    if (scopesShown_) drawScopes();
    else drawLevelMeters();
}

void ScreenPainter::repaintAll() { repaintPending = true; }

// The body where it was last drawn (while playing with FLW Off the grid stays
// where it is), and every other part after it.
void ScreenPainter::repaintEverything()
{
    repaintPending = false;
    screenRecord.forgetAll();
    repaints.requestRepaint();
    paintBody(bodyShown() ? bodyShownBase : transport.viewBase());
}

void ScreenPainter::fullRepaint()
{
    bool following = transport.following();
    // While live the grid shows every edit, and with FLW On the playing
    // pattern.
    if (transport.state() != statePlaying || transport.live()) {
        paintBody(transport.viewBase());
    } else if (following) {
        // While playing the body is repainted at a pattern start, or when the
        // grid shows another pattern than the one playing (a row can be shorter
        // than the repaint interval, so row 0 may pass unseen); it then shows
        // the playing pattern from its first row.
        if (transport.rowInPattern() == 0 || followViewStale()) paintBody(transport.patternBase());
    }
    if (overlays.leftOnScreen()) restoreBodyUnderOverlay();
    // The marker would cross the song list or the help.
    if (transport.state() == statePlaying && following && overlays.which() == Overlay::none) paintPlayMarker();
    if (overlays.which() != Overlay::none) paintOverlay();
    drawHeaderAndStatus();
}

// Only when a row lasts fewer steps than the repaint interval can the grid
// fall behind; at slower speeds every pattern start is seen.
bool ScreenPainter::followViewStale() const
{
    return song.speed < repaintInterval &&
           (bodyShownBase != transport.patternBase() || bodyShownPosition != transport.position());
}

void ScreenPainter::paintBody(int base)
{
    bodyShownBase = base;
    bodyShownPosition = transport.position();
    markerShown = false;
    composeBody(base, bodyComposed);
    if (trackScreenChanges && screenRecord.bodyValid && bodyComposed == screenRecord.body) return;
    drawComposedBody();
}

// The body covers the whole window, so every other part is drawn again after it.
void ScreenPainter::drawComposedBody()
{
    drawBody(bodyComposed);
    std::swap(bodyComposed, screenRecord.body);
    screenRecord.bodyDrawn();
}

void ScreenPainter::composeBody(int base, BodyView& view) const
{
    composeGrid(base, view);
    composePanel(view);
    view.cursorBarRow = transport.writesNotes() ? cursor.row : 0;
    bool marked = editor.block().marking && editor.block().start < cursor.row;
    view.blockChannel = marked ? cursor.channel() : 0;
    view.blockStart = marked ? editor.block().start : 0;
    view.blockRows = marked ? cursor.row - editor.block().start : 0;
}

void ScreenPainter::drawBody(const BodyView& view)
{
    tint(theme_.frame);
    fillRect(layout::frame);
    tint(theme_.grid);
    fillRect(layout::gridBack);
    tint(theme_.frame);
    fillRect(layout::gridDivider);
    tint(theme_.positionMark);
    fillRect(layout::positionMark);
    drawPanelTexts(view);
    drawCursorBarAndBlock(view);
    drawTextCursor(view);
    drawPatternGrid(view);
    drawButtonImages();
}

// The marker is erased and drawn at the playing row. When rows are shorter
// than the repaint interval the marker may have moved several rows since it
// was drawn, so the eraser goes where it was last drawn.
MarkerView ScreenPainter::playMarkerView() const
{
    MarkerView view;
    view.markedY = layout::rowBarY(transport.rowInPattern());
    if (song.speed >= repaintInterval) {
        view.erases = true;
        view.erasedY = layout::rowBarY(transport.rowInPattern() - 1);
    } else if (markerShown) {
        view.erases = true;
        view.erasedY = markerShownY;
    }
    return view;
}

void ScreenPainter::paintPlayMarker()
{
    MarkerView view = playMarkerView();
    markerShown = true;
    markerShownY = view.markedY;
    if (trackScreenChanges && screenRecord.markerValid && view == screenRecord.marker) return;
    if (view.erases) {
        tint(theme_.grid);
        strokeLine(layout::gridLeft, view.erasedY, layout::gridRight, view.erasedY);
    }
    tint(theme_.statusText);
    strokeLine(layout::gridLeft, view.markedY, layout::gridRight, view.markedY);
    screenRecord.marker = view;
    screenRecord.markerValid = true;
    // The lines cross the grid's text, and near the top the title bar.
    screenRecord.bodyValid = false;
    if (view.markedY < layout::titleBarBottom || (view.erases && view.erasedY < layout::titleBarBottom))
        screenRecord.titleBarValid = false;
}

void ScreenPainter::drawHeaderAndStatus()
{
    for (int k = 0; k < channelCount; ++k) channelOnTexts[k] = transport.channelLevels()[k] == 1.0f ? U"on  " : U"off ";
    bool playing = transport.state() == statePlaying;
    if (!trackScreenChanges || !screenRecord.transportValid || screenRecord.transportPlaying != playing) {
        tint(theme_.frame);
        fillRect(layout::transportLabelBack);
        tint(theme_.text);
        drawString(playing ? U"STOP HOME" : U"PLAY HOME", layout::transportLabel.x, layout::transportLabel.y);
        screenRecord.transportPlaying = playing;
        screenRecord.transportValid = true;
    }
    drawStatusRow();
    drawTitleBar();
}

void ScreenPainter::drawStatusRow()
{
    statusRowComposed.assign(U"    ");
    for (int k = 0; k < channelCount; ++k) statusRowComposed.append(k ? U"  " : U"").append(channelOnTexts[k]);
    statusRowComposed.append(U" FLW:").append(transport.following() ? U"On" : U"Off");
    if (trackScreenChanges && screenRecord.statusRowValid && statusRowComposed == screenRecord.statusRow) return;
    tint(theme_.frame);
    fillRect(layout::switchRowBack);
    tint(theme_.text);
    drawString(statusRowComposed, layout::switchRowText.x, layout::switchRowText.y);
    std::swap(statusRowComposed, screenRecord.statusRow);
    screenRecord.statusRowValid = true;
}

void ScreenPainter::drawTitleBar()
{
    const String& shown = pointerOnLogo ? logoHint : !parameterHint.empty() ? parameterHint : status.text();
    if (trackScreenChanges && screenRecord.titleBarValid && shown == screenRecord.titleBar) return;
    tint(theme_.titleBar);
    fillRect(layout::titleBar);
    TitleLine line = fitTitleLine(shown);
    tint(theme_.statusText);
    drawString(String(line.statusColumn, U' ') + line.status, layout::titleText.x, layout::titleText.y);
    tint(theme_.text);
    drawString(line.label, layout::titleText.x, layout::titleText.y);
    screenRecord.titleBar = shown;
    screenRecord.titleBarValid = true;
}

// A meter jumps to the playing row's volume when a channel reads a cell, and
// falls by two units a frame to its floor.
void ScreenPainter::drawLevelMeters()
{
    int index = transport.patternBase() + transport.rowInPattern() - 1;
    for (int k = 0; k < channelCount; ++k) {
        if (transport.state() == statePlaying && transport.channelLevels()[k] != 0 &&
            cellOrBlank(song.patternColumns[k], index, U'.') != U'.')
            meterLevels[k] = hexDigitValue(cellOrBlank(song.patternColumns[4 + k], index, U'0')) * 8;
        meterLevels[k] -= 2;
        if (meterLevels[k] < meterFloor) meterLevels[k] = meterFloor;
        if (meterLevels[k] > meterTop) meterLevels[k] = meterTop;
        if (trackScreenChanges && screenRecord.meters[k] == meterLevels[k]) continue;
        drawLevelMeter(k, meterLevels[k]);
        screenRecord.meters[k] = meterLevels[k];
    }
}

void ScreenPainter::drawLevelMeter(int channel, int level)
{
    float x = layout::meterLeft + layout::meterSpacing * static_cast<float>(channel);
    float height = static_cast<float>(level);
    // In proportion between the floor's colour and the top's; with the
    // default ones this is (79 + L, 95 - L, 151 - L).
    auto mix = [level](float floor, float top) {
        return floor + (top - floor) * static_cast<float>(level - meterFloor) / static_cast<float>(meterTop - meterFloor);
    };
    const Colour& low = theme_.meterFloor;
    const Colour& high = theme_.meterTop;
    Colour bar {mix(low.r, high.r), mix(low.g, high.g), mix(low.b, high.b)};
    if (meterImage.draw(channel, level, theme_.frame, bar)) return;
    tint(theme_.frame);
    fillRect(x, layout::meterBase, layout::meterWidth, -layout::meterHeight);
    tint(bar);
    fillRect(x, layout::meterBase, layout::meterWidth, -height);
}

// Every frame, from where the channels' sources stand; a trace that has not
// moved (a silent channel's flat line) is left as it stands.
void ScreenPainter::drawScopes()
{
    const gxtkAudio* device = gxtkAudio::audio();
    bool shown = trackScreenChanges && screenRecord.scopesValid;
    for (int k = 0; k < channelCount; ++k) {
        ScopeTrace trace = channelTrace(device, k);
        if (shown && trace == scopesDrawn[k]) continue;
        scopeImage.draw(k, trace, theme_.grid, theme_.scope, !shown);
        scopesDrawn[k] = trace;
    }
    screenRecord.scopesValid = true;
}

void ScreenPainter::drawCursorBarAndBlock(const BodyView& view)
{
    if (view.cursorBarRow) {
        tint(theme_.cursorBar);
        fillRect(layout::cursorBarLeft, layout::rowBarY(view.cursorBarRow), layout::gridRight - layout::cursorBarLeft,
                 layout::rowHeight);
    }
    if (view.blockChannel) {
        tint(theme_.block);
        fillRect(layout::blockLeft[view.blockChannel - 1], layout::rowBarY(view.blockStart + 1), layout::blockWidth,
                 layout::rowHeight * static_cast<float>(view.blockRows));
    }
}

// 32 rows from the view row, and 32 entries of the position list from the
// current position.
void ScreenPainter::composeGrid(int base, BodyView& view) const
{
    for (int c = 0; c < rowsPerPattern; ++c) {
        int n = base + c;
        String& row = view.gridRows[c];
        row.assign(byteHex(n % rowsPerPattern)).append(U"  ");
        for (int channel = 0; channel < channelCount; ++channel) {
            if (channel > 0) row += U' ';
            row += noteCellText(song.patternColumns[channel], n, song.patternColumns[12 + channel]);
            row += cellOrBlank(song.patternColumns[4 + channel], n, U'0');
            row += cellOrBlank(song.patternColumns[8 + channel], n, U'0');
        }
        int position = transport.position() + c;
        String& entry = view.positionEntries[c];
        entry.clear();
        // Nothing lies past the last position.
        if (position < positionCount) entry.append(U" ").append(byteHex(position)).append(U"  ").append(byteHex(song.positions[position]));
    }
}

void ScreenPainter::drawPatternGrid(const BodyView& view)
{
    for (int c = 0; c < rowsPerPattern; ++c) {
        float y = layout::rowTextY(c + 1);
        // The row text starts with the row number in hex; every fourth row
        // (low digit 0, 4, 8 or C) is a beat.
        tint(hexDigitValue(view.gridRows[c][1]) % 4 == 0 ? theme_.beat : theme_.text);
        drawString(view.gridRows[c], 0, y);
        if (view.positionEntries[c].empty()) continue;
        tint(theme_.text);
        drawString(view.positionEntries[c], layout::positionListX, y);
    }
}
