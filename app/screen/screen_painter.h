// The screen painter: composes what each part of the window shows from the
// song and the parts' state, and draws only what changed since it was drawn.
// The screen is never cleared: a full repaint comes every third update step
// and the meters are repainted every frame.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/files/song_identity.h"
#include "app/playing/channel_scopes.h"
#include "app/screen/meter_image.h"
#include "app/screen/repaint_request.h"
#include "app/screen/scope_image.h"
#include "app/screen/screen_record.h"
#include "app/screen/screen_theme.h"
#include "app/screen/status_row.h"
#include "song/song_model.h"

#include <array>
#include <memory>

class c_Font;
class c_Image;
class NoteKeys;
class Overlays;
class PatternEditor;
class SongFiles;
class Transport;
class UnsavedWork;

class ScreenPainter {
public:
    // What it shows: the song and the parts whose state is on screen;
    // repaints says when the whole screen is painted again.
    ScreenPainter(Song& song, NoteCursor& cursor, const Transport& transport, const PatternEditor& editor,
                  Overlays& overlays, const SongFiles& files, const NoteKeys& keys, const SongIdentity& identity,
                  const UnsavedWork& unsaved, const StatusRow& status, RepaintRequest& repaints);
    ~ScreenPainter();

    // The font and the button images.
    void loadImages();
    void render();
    // The body has been drawn once: the grid stands on screen.
    bool bodyShown() const { return bodyShownBase >= 0; }

    // Scopes in the meters' place (scopes=on in the settings file, Ctrl+G).
    bool scopesShown() const { return scopesShown_; }
    void showScopes(bool on) { scopesShown_ = on; }
    // The colours everything is drawn in.
    const Theme& theme() const { return theme_; }
    void useTheme(const Theme& theme) { theme_ = theme; }
    // Draws everything again at the next frame (a new theme, the scopes
    // switched): the body covers the whole window.
    void repaintAll();
    // On: parts of the screen whose view has not changed are not drawn again
    // (the picture stays the same). Off: every part is drawn at every chance.
    void trackChanges(bool on) { trackScreenChanges = on; }
    // The pointer rests on the logo: the title bar names the help's keys.
    void showLogoHint(bool on) { pointerOnLogo = on; }
    // The line of the panel parameter the pointer rests on; empty when none.
    void showParameterHint(const String& hint) { parameterHint.assign(hint); }
    // A channel's word under its meter: "on  " or "off ".
    const String& channelOnText(int channel) const { return channelOnTexts[channel]; }

private:
    void repaintEverything();
    void fullRepaint();
    bool followViewStale() const;
    // Composes the body showing the grid from a view row; draws it unless it
    // stands on screen already.
    void paintBody(int base);
    void composeBody(int base, BodyView& view) const;
    void composeGrid(int base, BodyView& view) const;
    void composePanel(BodyView& view) const;
    void composeTextCursor(BodyView& view) const;
    void drawComposedBody();
    void drawBody(const BodyView& view);
    MarkerView playMarkerView() const;
    void paintPlayMarker();
    void drawHeaderAndStatus();
    void drawStatusRow();
    void drawTitleBar();
    void drawLevelMeters();
    void drawLevelMeter(int channel, int level);
    void drawScopes();
    void drawCursorBarAndBlock(const BodyView& view);
    void drawPatternGrid(const BodyView& view);
    void drawPanelTexts(const BodyView& view);
    void drawTextCursor(const BodyView& view);
    void drawButtonImages();
    void paintOverlay();
    void composeOverlay(OverlayView& view) const;
    void composeSongList(OverlayView& view) const;
    void composeKeyHelp(OverlayView& view) const;
    void composeInstruments(OverlayView& view) const;
    void composeWaveEditor(OverlayView& view) const;
    void composeWaveImport(OverlayView& view) const;
    void drawWave(const OwnWave& wave);
    void drawOverlay(const OverlayView& view);
    void restoreBodyUnderOverlay();

    Song& song;
    NoteCursor& cursor;
    const Transport& transport;
    const PatternEditor& editor;
    Overlays& overlays;
    const SongFiles& files;
    const NoteKeys& keys;
    const SongIdentity& identity;
    const UnsavedWork& unsaved;
    const StatusRow& status;
    RepaintRequest& repaints;
    std::shared_ptr<c_Font> fontImage;
    std::shared_ptr<c_Image> buttonImage;
    std::shared_ptr<c_Image> navRowImage;
    // Where the body was last repainted and where the play marker stands on
    // it, so that following can catch up with rows shorter than a repaint.
    int bodyShownBase = -1;
    int bodyShownPosition = -1;
    bool markerShown = false;
    float markerShownY = 0;
    BodyView bodyComposed;
    OverlayView overlayComposed;  // reused, so composing allocates nothing once warm
    String statusRowComposed;
    std::array<ScopeTrace, channelCount> scopesDrawn;
    ScopeImage scopeImage;
    MeterImage meterImage;
    bool repaintPending = false;
    std::array<String, channelCount> channelOnTexts;
    std::array<int, channelCount> meterLevels {};
    Theme theme_;
    bool scopesShown_ = false;
    bool trackScreenChanges = true;
    bool pointerOnLogo = false;
    String parameterHint;
    ScreenRecord screenRecord;
};
