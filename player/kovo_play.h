// The song player: its own copy of a song, read row by row and tick by tick
// into the rates and volumes of eight looping audio channels. Tracker
// channel ch (1..4) plays a primary oscillator on audio channel ch and a
// secondary one on audio channel ch + 4.
#pragma once

#include "player/own_wave_sounds.h"
#include "player/row_clock.h"
#include "player/row_timeline.h"
#include "player/tick_trace.h"
#include "player/voice_effects.h"
#include "song/song_model.h"
#include "song/waveform_table.h"

#include <array>
#include <memory>
#include <optional>

class c_Sound;
class gxtkAudio;

// What the player keeps for one tracker channel.
struct PlayerVoice {
    float noteRead = 0;     // note value read on the last row
    float lastRowNote = 0;  // noteRead of the last row processed; steers slides
    float note = 0;         // the last note started (values below 127)
    float slide = 0;        // accumulated slide in rate units, until the next note
    int instrumentDigit = 0;
    float volume = 0;       // level of the last nonzero volume digit
    int octaveDigit = 0;
    std::shared_ptr<c_Sound> primarySound;
    std::shared_ptr<c_Sound> secondarySound;
    float pwmDepth = 0;
    int latchedInstrument = 0;  // last nonzero instrument digit: its slots drive the effects
    int latchedOctave = 0;      // octave digit of the row that latched it
    VoiceEffects effects;
};

// Rows first..last of the playing position's pattern, played over and over.
struct RowLoop {
    int first = 0;
    int last = rowsPerPattern - 1;
};

// Every song reaches a player through play (from a place, as a song file
// would hold it) or follow (an editor's song as it changes, while playing on).
class c_kovoPlay {
public:
    using Waveforms = std::array<std::shared_ptr<c_Sound>, waveformCount>;

    // Plays on the process's audio device, whichever it is at each call.
    c_kovoPlay() = default;
    // Plays on the given device only; a null device plays nothing, and the
    // player still keeps time.
    explicit c_kovoPlay(gxtkAudio* device) : device_(device), ownDevice_(true) {}

    // Plays the song, as writing it to a file and reading it back would give
    // it, from the first tick of a row: the song's first row unless another
    // is given. A place outside the song's 256 positions and 32 rows starts
    // at the first. The waveforms are loaded with the first song a player
    // takes.
    void play(const Song& song, PlayPlace from = {});
    // Takes an edited song's notes, positions, length, speed, instruments and
    // own waves while playing on: the place in the song and the sounding voices stay.
    // A changed row is heard when it is next read, a changed instrument from
    // the next tick.
    void follow(const Song& edited);

    // Plays these sounds instead of the waveform files.
    void useWaveforms(const Waveforms& sounds);
    // The channels' levels (1 on, 0 muted), heard from each channel's next
    // volume digit on.
    void useChannelLevels(const std::array<float, channelCount>& levels) { channelLevels_ = levels; }

    // One tick (1/50 s): a row when the tick count reaches the speed, then
    // every channel's effects, volumes and rates.
    void tickPlayer();
    // The effects, volumes and rates of one tick without moving on in the
    // song: sounding notes go on and fade as their envelopes say.
    void tickVoices();
    // The next tick reads a row.
    bool rowDue() const { return tick_ == static_cast<float>(song_.speed); }
    // The next tick reads this row (held to the song's 256 positions and 32
    // rows): the song goes on from there.
    void goTo(PlayPlace place);
    // Ticks gone by in the row that plays.
    float ticksIntoRow() const { return tick_; }

    const Song& song() const { return song_; }
    const PlayerVoice& voice(int channel) const { return voices_[static_cast<size_t>(channel)]; }
    const Waveforms& waveforms() const { return waveSounds_; }
    // The sounds of the song's own waves, by slot; null for an empty slot.
    const OwnWaveSounds& ownWaveSounds() const { return ownSounds_; }
    // Whether the waveforms are loaded (or given): a song taken since.
    bool waveformsLoaded() const { return waveformsLoaded_; }

    // ---- Playing along with an editor ----

    // Loops rows first..last (either order, held to 0..31) of the position
    // that plays: after the last of them, or a pattern end before it, the
    // first comes again. clearLoop lets the song go on.
    void loopRows(int first, int last);
    void clearLoop();
    const std::optional<RowLoop>& loop() const { return loop_; }

    // The row that sounds: the one read last, or before the first read the
    // one the first read takes.
    PlayPlace soundingPlace() const { return lastRead_ ? *lastRead_ : upcomingPlace(); }
    // The row the next read takes.
    PlayPlace upcomingPlace() const { return {position_, row_}; }

    // The row the screen shows: the row clock's, or the one that sounds
    // while a loop plays or while the sounding rows are asked for.
    PlayPlace shownPlace() const { return showsSoundingRows() ? soundingPlace() : clock_.place; }
    // Live editing shows the row that sounds, so that notes land where they
    // are heard. When neither that nor a loop holds the screen any more, the
    // row clock goes on from the row that sounds.
    void showSoundingRows(bool on);

    // Sounds one row on all four channels as reading it in the song would,
    // with that tick's volumes and rates; the place in the song stays, and
    // tickVoices lets the notes run on. False, and nothing sounds, for a
    // place outside the song's 256 positions and 32 rows.
    bool playOneRow(PlayPlace place);
    // Sounds one channel's cells (channel 0..3) of a row as reading them in
    // the song would, while the song plays on: the next tick gives them their
    // volume and rate. False, and nothing sounds, outside the song.
    bool playOneCell(PlayPlace place, int channel);

    // The rows read lately, stamped with the device clock: none on a device
    // without one, and none from before a row read while the device rested.
    const RowTimeline& timeline() const { return timeline_; }
    // The row heard when a key went down at keyClock on the device clock,
    // given the device's output latency (both in nanoseconds); the sounding
    // row when the device keeps no clock.
    PlayPlace rowHeardAt(int64_t keyClock, int64_t latency) const;
    // The same for a key that goes down now, by the player's device's clock
    // and latency of this moment.
    PlayPlace rowHeardNow() const;

private:
    gxtkAudio* device() const;
    void loadWaveforms();
    bool showsSoundingRows() const { return soundingRowsShown_ || loop_; }
    // The row clock from the row that sounds, at the player's tick.
    void keepClockWithSoundingRow();
    // Back to the first tick of a row, with no loop and no rows read yet.
    void startAt(PlayPlace from);

    // ---- Rows ----
    void processRow();
    void readRow();
    void readChannel(int channel);
    // Reads channels first..end-1 of a place, then goes back to the place in
    // the song; false outside the song.
    bool readAt(PlayPlace place, int firstChannel, int endChannel);
    void recordRowStart();
    char32_t cell(int column) const;
    void readNote(int channel);
    void readVolume(int channel);
    void chooseWaveforms(int channel);
    void triggerOscillators(int channel);
    void advanceRow();
    void loopBack(PlayPlace read, bool endPassed);
    void advancePosition();

    // ---- Following ----
    void keepRowsComing();
    void refreshPulseWidths();

    // ---- Ticks ----
    void applyEffects(int channel);
    void applyEnvelope(int channel);
    void applySlide(PlayerVoice& voice);
    void applyRates(int channel);
    int latchedSlot(const PlayerVoice& voice, int slot) const;

    Song song_;
    float tick_ = 0;          // ticks into the current row
    int position_ = 0;        // index into the song's positions, always 0..255
    int patternBaseRow_ = 0;  // positions[position_] * 32
    int row_ = 0;             // 0..31
    std::array<float, channelCount> channelLevels_ {1.0f, 1.0f, 1.0f, 1.0f};  // 1 on, 0 muted
    Waveforms waveSounds_;
    OwnWaveSounds ownSounds_;
    bool waveformsLoaded_ = false;
    std::array<PlayerVoice, channelCount> voices_;

    gxtkAudio* device_ = nullptr;
    bool ownDevice_ = false;
    TickTrace trace_;
    std::optional<RowLoop> loop_;
    // Where the song goes on when a loop that has just gone back is cleared
    // before the next read.
    struct AfterLoop {
        PlayPlace place;
        bool endPassed;
    };
    std::optional<AfterLoop> afterLoop_;
    std::optional<PlayPlace> lastRead_;
    RowTimeline timeline_;
    RowClock clock_;
    bool soundingRowsShown_ = false;
    // A followed song was shortened to end before the position that plays:
    // the next position is the first, as at the end of the song. (Playback
    // started beyond the end plays on, as it always has.)
    bool endPassed_ = false;
};
