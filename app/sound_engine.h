// The tracker application: the song, the editing state and the hooks that
// run the screen, the transport and the editor.
#pragma once

#include "app/key_bindings.h"
#include "app/key_help.h"
#include "app/pattern_text.h"
#include "app/screen_record.h"
#include "export/audio_format.h"
#include "app/song_list.h"
#include "song/song_model.h"
#include "framework/app.h"
#include "host/numbered_lock.h"
#include "player/voice_effects.h"

#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class c_Font;
class c_Image;
class c_Sound;
class c_kovoPlay;
class BackgroundExport;
class c_InputDevice;

// Transport states.
enum TransportState { stateEditing = 0, statePlaying = 1, stateStandby = 2 };

// What is shown over the pattern grid and the position list.
enum class Overlay { none, songList, keyHelp };

constexpr int undoSlotCount = 32;
constexpr int waveformCount = 8;

using UndoRing = std::array<std::array<PatternColumn, undoSlotCount>, columnCount>;

// Everything a LOAD replaces, kept so that Ctrl+Z can take the load back.
struct EditorSong {
    Song song;
    UndoRing undoRing;
    int undoSlot = 0, undoOldest = 0, undoNewest = 0;
    String songName;
    String songFilePath;
    bool songChanged = false;
};

class c_SoundEngine : public c_App, public Song {
public:
    c_SoundEngine();
    ~c_SoundEngine() override;

    void create() override;
    void createSounds() override;
    // Gives the window the program's icon; a missing image is left out.
    void showWindowIcon();
    void update() override;
    void inputArrived() override;
    void render() override;
    void close() override;

    // ---- Update cycle ----
    // Stops audio channels 1 to 8.
    static void stopAllChannels();
    void runSpinners();
    void advanceRowClock();

    // ---- Editor step and its phases ----
    void editorInput();
    bool textFieldActive() const { return songNameEditing || descriptionEditing; }
    int cursorChannel() const { return (cursorColumn + 1) / 2; }
    int viewBase() const { return patternBaseRow + rowInPattern; }
    // Reads the song file named songName into the song; the status text.
    // The song it replaced is one undo step.
    String loadSongFile();
    // Reads the example named songName ("examples/name" or "name"), which
    // then keeps its name without the section; the status text.
    String loadExampleSong();
    // The same for a name from the song list: a file in the songs folder, or
    // an example.
    String loadSongNamed(const String& name, bool example = false);
    bool readExampleSong();
    String songLoaded(EditorSong before);

    // ---- The song's file ----
    // The file SAVE and LOAD mean: songFilePath, else songName in the songs folder.
    String songFile() const;
    // Reads a song file into the song, with a fresh undo history; the status
    // text: statusFileLoaded, or statusFileNotFound when it holds nothing to
    // load, or statusLoadingFailed when it could not be read whole (the song
    // stays as it was either way).
    String readSongFile(const String& path);
    // Opens the song file given on the command line (startSongPath).
    void openStartSong();

    // Given before create: the command line's SONG, and --play (cleared
    // once playback has started, or when the song did not load).
    String startSongPath;
    bool startPlaying = false;
    // The song file named on the command line: SAVE and LOAD use it until
    // the name is edited; empty while names mean files in the songs folder.
    String songFilePath;

    // ---- Screen ----
    void renderScreen();
    // Repaints everything but the header, status row, transport label and
    // meters: background, panel, cursor, grid and position list, images.
    void drawScreenBody();

    // ---- Song model ----
    // Copies the columns into the next undo slot; with reset, into slot 1,
    // which becomes the oldest reachable state.
    void takeUndoSnapshot(bool reset = false);
    // Steps back one snapshot, never past the oldest one held, and restores it.
    void restoreUndoSnapshot();
    // Steps forward again over undone snapshots and restores that one.
    void redoUndoSnapshot();

    // Snapshots share the columns that did not change between them.
    UndoRing undoRing;
    int undoSlot = 0;    // the snapshot shown
    int undoOldest = 0;  // the oldest snapshot still held
    int undoNewest = 0;  // the newest snapshot, the end of redo
    // The song a LOAD replaced: one undo step before the loaded song's
    // oldest snapshot. And the loaded song while that step is undone, for redo.
    std::unique_ptr<EditorSong> songBeforeLoad;
    std::unique_ptr<EditorSong> undoneLoad;
    EditorSong editorSong() const;
    void takeEditorSong(EditorSong&& song);
    bool columnsMatchUndoSlot() const;

    // ---- Control shortcuts (run from the key table) ----
    void startExport();
    void cycleExportFormat();
    void enlargeWindow();
    void shrinkWindow();
    void toggleSongList();
    void toggleKeyHelp();
    void copyChannelRows();
    void copyAllChannelRows();
    void cutChannelRows();
    void pastePatternText();
    void mixPastePatternText();
    void toggleNoteKeyMode();
    // Puts the note key mode, or the keyboard, into the LAYOUT field.
    void showLayout();

    // ---- Song list and key help ----
    // Lines of the overlay area: one per grid row.
    static constexpr int overlayLines = rowsPerPattern;
    static constexpr int songListFirstEntryLine = 3;
    static constexpr int songListEntryLines = 27;
    static constexpr int helpBodyLines = 30;

    void openOverlay(Overlay which);
    void closeOverlay();
    void overlayInput();
    void songListInput();
    void keyHelpInput();
    void takeSongScan();
    void startSongScan();
    void retireSongScan();
    void songListKeys();
    void songListMouse();
    void loadHighlightedSong();
    void toggleAudition();
    void stopAudition();
    void tickAudition();
    // The help's pages, laid out once.
    const std::vector<HelpPage>& keyHelp() const { return helpPages; }
    int keyHelpPageCount() const;
    // Marks the overlay for drawing at the next frame.
    void overlayChanged();

    Overlay overlay = Overlay::none;
    SongList songList {songListEntryLines};
    // Reads the songs folder for the list, off the update step; a set flag
    // tells it nobody waits any more. A test may put a slower one in.
    using SongScanner =
        std::function<std::vector<SongEntry>(const std::string&, const std::string&, const std::atomic<bool>*)>;
    SongScanner songScanner = readSongsAndExamples;
    struct SongScan {
        std::shared_ptr<std::atomic<bool>> cancel;
        std::future<std::vector<SongEntry>> entries;
    };
    SongScan songScan;                   // while the songs folder is read
    std::vector<SongScan> retiredScans;  // given up on, ending by themselves
    std::shared_ptr<c_kovoPlay> auditionPlayer;     // while a listed song plays
    bool loadGuardArmed = false;  // the first Enter over unsaved changes was pressed
    int lastClickedEntry = -1;
    int stepsSinceClick = 0;
    int helpPage = 0;
    // Laid out at each opening, with the keys as the keyboard in use prints them.
    std::vector<HelpPage> helpPages = keyHelpPages(helpBodyLines);
    bool overlayLeftOnScreen = false;  // closed, and the screen still shows it

    // ---- Unsaved work ----
    // Notes a change of the song that no file holds yet.
    void markSongChanged();
    // After a SAVE (saved) or a LOAD of the song's file.
    void endUnsavedState(bool saved);
    void keepRecoveryFresh();
    // Writes the recovery file; false, said on the status row and on
    // standard error, when it could not be written.
    bool writeRecoveryFile(bool closing);
    void restoreUnsavedSong();
    // The song's file as a full path: who the unsaved work belongs to.
    String songFileFullPath() const;
    // This tracker's recovery file as a scheme path; empty while it has none.
    String recoveryFile() const;
    bool claimRecoveryFile(bool toRestore);
    void reportRecoveryWrite(bool kept, bool closing);

    bool songChanged = false;    // the song differs from its file
    bool recoveryStale = false;  // ... and from the recovery file
    int stepsSinceRecovery = 0;
    NumberedLock recoveryLock;           // holds this tracker's recovery file
    String recoveryHolds;                // the song whose work is in it (full path); empty: none
    bool recoveryIsCurrentSong = false;  // ... and that is the editor's song since then
    bool recoveryFailing = false;        // the last write failed (and was said)

    // ---- Playback and view state ----
    int currentPosition = 0;
    int patternBaseRow = 0;
    int rowInPattern = 0;
    int tickCounter = 0;
    TransportState transportState = stateStandby;
    std::array<float, channelCount> channelLevels {1.0f, 1.0f, 1.0f, 1.0f};
    std::array<String, channelCount> channelOnTexts;
    bool followMode = false;  // the grid follows the playing row
    int layoutIndex = 0;
    String layoutText = U"DE";
    // The note keys go by their place on the keyboard, not by the characters
    // they type (note_keys=position in the settings file).
    bool noteKeysByPlace = false;
    // The key file's bindings, read at the start.
    KeyBindings keyBindings;
    int currentInstrument = 1;
    int octave = 2;
    int cursorColumn = 1;
    int cursorRow = 1;
    String statusText;
    String songName;
    std::shared_ptr<c_kovoPlay> player;

    // ---- Resources ----
    std::shared_ptr<c_Font> fontImage;
    std::shared_ptr<c_Image> buttonImage;
    std::shared_ptr<c_Image> navRowImage;
    std::array<std::shared_ptr<c_Sound>, waveformCount> previewSounds;

    // ---- Editor ----
    int upHeldSteps = 0;
    int downHeldSteps = 0;
    float wheelStep = 0;
    std::array<String, 4> insertScratch;
    char32_t lastNoteChar = 0;  // 0 = none yet
    std::shared_ptr<c_Sound> previewPrimary;
    std::shared_ptr<c_Sound> previewSecondary;
    float previewPwm = 0;
    VoiceEffects preview;
    // Octaves between the last previewed note and the entry octave: 0 for a
    // typed note, any for one from a MIDI keyboard.
    int previewOctaveShift = 0;
    // Off: a MIDI note's volume digit follows the typed rule, not the velocity.
    bool midiVelocity = true;
    // A note whose sound was started as soon as its key was read, ahead of
    // the step that takes it: that step finds it sounding and starts nothing
    // again for it.
    struct AheadPreview {
        int channel = 0;
        int octave = 0;
        int noteValue = 0;
        std::shared_ptr<c_Sound> primary, secondary;
    };
    std::optional<AheadPreview> aheadPreview;

    // ---- Name fields ----
    bool songNameEditing = false;
    bool descriptionEditing = false;

    // ---- Screen ----
    int redrawCounter = 0;
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

    // ---- Block copy ----
    bool blockState = false;  // a block is being marked
    int blockStart = 0;
    int blockEnd = 0;
    std::array<String, 4> clipboard;

    // ---- Export (Ctrl+E; Ctrl+F picks the format) ----
    std::shared_ptr<BackgroundExport> songExport;  // while one runs
    AudioFormat exportFormat = AudioFormat::wav;   // as the settings file remembers it
    String exportName;                             // its file name, for the status row
    String exportOutcome;                          // "Exported <name>.<ext>", "Export Failed!", the format
    int exportOutcomeSteps = 0;                    // steps it still shows over "Playing..."
    // Where a Ctrl+E render waits until songExport->release() (percentages):
    // tests see the status row at a known point of a render.
    std::vector<int> exportHolds;

private:
    c_InputDevice& input();

    void switchChannels();
    void toggleFollow();
    void controlShortcuts();
    void stepWindowScale(int step);
    void toggleLayout();
    void toggleEditing();
    void undoButton();
    void togglePlayback();
    void startPlayback();
    void startPlaybackFromStart();
    void playAtStart();
    void runEditingBranch();
    void tickPlayback();
    static AudioFormat rememberedExportFormat();
    void followExport();
    void showExportOutcome(const String& text);

    void songNameField();
    bool takeNameCharacters(String& text, size_t limit);
    void holdInStandby();
    void descriptionField();
    void homeButton();
    void saveTrigger();
    void loadTrigger();
    void selectPreviewSounds();
    void positionButtons();
    void columnKeys();
    void positionKeys();
    void rowKeys();
    char32_t fetchCharacter();
    char32_t layoutCharacter(int ch) const;
    void laterCharacters();
    void volumeDigitEntry(char32_t ch);
    void transposeKeys();
    void blockMarking();
    void blockPaste();
    void rowDelete();
    void rowInsert();
    void noteEntry(char32_t ch);
    void placeNoteEntry();
    void readNoteKeySetting();
    void readKeyFile();
    void midiNoteEntry();
    void readMidiSettings();
    void enterMidiNote(int note, int velocity);
    // Writes or sounds one note at the cursor; volume 0 keeps the typed rule.
    void enterNote(char32_t ch, int noteOctave, char32_t volume);
    void updatePreviewVoice();
    // One step of a preview voice: what its channels get.
    struct PreviewSound {
        float gain = 0;
        VoiceRates rates;
        bool fadedOut = false;  // the envelope has ended: the channels stop
    };
    PreviewSound stepPreview(VoiceEffects& voice, char32_t note, int octaveShift) const;
    // The note the next step will sound, if nothing else it reads could change
    // what it does: the note's character and octave.
    std::optional<std::pair<char32_t, int>> noteAhead();
    void startAheadPreview(char32_t note, int noteOctave);
    // True when the step's note was started ahead already; any other note
    // silences what was started ahead.
    bool takeAheadPreview(int channel, int noteOctave, int noteValue);
    void dropAheadPreview();

    // Replaces one character of a column, keeping its length.
    void setCell(int column, int index, char32_t ch);
    void transposeChannel(int step);
    void insertPosition();
    void deletePosition();
    void copyUndoSlot();

    // Pattern text on the system clipboard.
    std::pair<int, int> copiedRows() const;
    ClipCell clipCellAt(int channel, int index) const;
    void copyRows(int firstChannel, int lastChannel);
    bool patternEditable() const;
    void pasteText(bool onlyIntoEmpty);
    bool pasteCell(int channel, int index, const ClipCell& cell, bool onlyIntoEmpty);

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
};
