// The tracker application: the song, and the parts that edit it, play it,
// keep it and show it, wired to the framework's hooks.
#pragma once

#include "app/export_job.h"
#include "app/note_cursor.h"
#include "app/note_keys.h"
#include "app/note_preview.h"
#include "app/overlays.h"
#include "app/pattern_clipboard.h"
#include "app/pattern_editor.h"
#include "app/panel_rows.h"
#include "app/screen_record.h"
#include "app/song_files.h"
#include "app/song_identity.h"
#include "app/transport.h"
#include "app/undo_history.h"
#include "app/unsaved_work.h"
#include "framework/app.h"
#include "song/song_model.h"

#include <array>
#include <memory>
#include <optional>
#include <utility>

class c_Font;
class c_Image;
class c_InputDevice;
enum ShortcutAction : int;

class c_SoundEngine : public c_App {
public:
    c_SoundEngine();
    ~c_SoundEngine() override;

    void create() override;
    void createSounds() override;
    void update() override;
    void inputArrived() override;
    void render() override;
    void close() override;

    // Opens the song file given on the command line (startSongPath).
    void openStartSong();

    // ---- Screen ----
    void renderScreen();
    // Repaints everything but the header, status row, transport label and
    // meters: background, panel, cursor, grid and position list, images.
    void drawScreenBody();

    // Parts are declared in the order they are built: each one's references
    // go to the song and to parts built before it.
    Song song;
    String statusText;
    NoteCursor cursor;
    SongIdentity identity;
    Transport transport {song, cursor, statusText};
    UnsavedWork unsaved {song, identity, cursor, transport, statusText};
    UndoHistory undo {song, identity, unsaved, transport};
    NoteKeys keys;
    SongFiles files {song, identity, cursor, transport, undo, unsaved, statusText};
    NotePreview preview {song, cursor};
    PatternEditor editor {song, cursor, transport, undo, unsaved, keys, preview, files};
    PatternClipboard clipboardText {song, cursor, transport, editor, undo, statusText};
    int redrawCounter = 0;
    Overlays overlays {transport, files, unsaved, keys, statusText, redrawCounter};
    ExportJob exportJob {song, identity, statusText};

    // Given before create: the command line's SONG, and --play (cleared
    // once playback has started, or when the song did not load).
    String startSongPath;
    bool startPlaying = false;

    // ---- Resources ----
    std::shared_ptr<c_Font> fontImage;
    std::shared_ptr<c_Image> buttonImage;
    std::shared_ptr<c_Image> navRowImage;

    // ---- Screen ----
    std::array<String, channelCount> channelOnTexts;
    std::array<int, channelCount> meterLevels {};
    // On: parts of the screen whose view has not changed are not drawn again
    // (the picture stays the same). Off: every part is drawn at every chance.
    bool trackScreenChanges = true;
    ScreenRecord screenRecord;
    // Where the body was last repainted and where the play marker stands on
    // it, so that following can catch up with rows shorter than a repaint.
    int bodyShownBase = -1;
    int bodyShownPosition = -1;
    bool markerShown = false;
    float markerShownY = 0;

private:
    c_InputDevice& input();
    // Gives the window the program's icon; a missing image is left out.
    void showWindowIcon();
    void restoreUnsavedSong();
    void controlShortcuts();
    void runShortcut(ShortcutAction action);
    void stepWindowScale(int step);
    void playAtStart();
    void runEditingBranch();
    void editorInput();
    void runSpinners();
    PanelValues panelValues();
    // The note the next step will sound, if nothing else it reads could change
    // what it does: the note's character and octave.
    std::optional<std::pair<char32_t, int>> noteAhead();

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
    void drawCursorBarAndBlock(const BodyView& view);
    void drawPatternGrid(const BodyView& view);
    void drawPanelTexts(const BodyView& view);
    void drawTextCursor(const BodyView& view);
    void drawButtonImages();
    void paintOverlay();
    void composeOverlay(OverlayView& view) const;
    void composeSongList(OverlayView& view) const;
    void composeKeyHelp(OverlayView& view) const;
    void drawOverlay(const OverlayView& view);
    void restoreBodyUnderOverlay();

    BodyView bodyComposed;
    OverlayView overlayComposed;  // reused, so composing allocates nothing once warm
    String statusRowComposed;
    float wheelStep = 0;
};
