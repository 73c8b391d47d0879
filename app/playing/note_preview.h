// The preview voice: a note typed or played on a MIDI keyboard is heard on
// its channel with the current instrument, faded by its envelope, while the
// song does not play; and a note started ahead of its step, as soon as its
// key is read.
#pragma once

#include "app/editing/note_cursor.h"
#include "player/own_wave_sounds.h"
#include "player/voice_effects.h"
#include "song/own_waves.h"
#include "song/song_model.h"
#include "song/waveform_table.h"

#include <array>
#include <memory>
#include <optional>

class c_Sound;

class NotePreview {
public:
    NotePreview(const Song& song, const NoteCursor& cursor);

    // The preview plays the current instrument's waveform pair, refreshed every
    // step so that a change in the panel is heard at once.
    void selectPreviewSounds();
    // One step of the voice: the gains and rates of all eight channels.
    void updatePreviewVoice();
    // A note was entered or sounded: the voice follows it from now on.
    void followNote(char32_t note, int octaveShift);
    // The envelope and the effects start again.
    void restart() { restartEffects(preview); }
    // Sounds the note on its channel, unless it was started ahead already.
    void sound(int channel, int noteOctave, int noteValue);
    // Starts the note's sound before its step.
    void startAheadPreview(char32_t note, int noteOctave);
    bool aheadPending() const { return aheadPreview.has_value(); }
    // A sound started ahead that its step did not take is silenced: the step
    // leaves the channels as they would be without it.
    void dropAheadPreview();

    // The waveforms' sounds, loaded once the sound device is open; none
    // before.
    void useSounds(const std::array<std::shared_ptr<c_Sound>, waveformCount>& sounds) { previewSounds = sounds; }
    const std::array<std::shared_ptr<c_Sound>, waveformCount>& sounds() const { return previewSounds; }
    // The wave editor's note: C at the octave on channel 1 at full level,
    // sounding the wave as it is now (started again when it changes), with
    // nothing on the other channels; null stops it.
    void holdWaveNote(const OwnWave* wave, int octave);
    bool holdsWaveNote() const { return heldWaveSound != nullptr; }

    // Another player (Ctrl+Enter's) sounds on the channels: the voice leaves
    // them alone until it sounds a note of its own.
    void lendChannels(bool lent) { channelsLent_ = lent; }
    bool channelsLent() const { return channelsLent_; }

private:
    // One step of a preview voice: what its channels get.
    struct PreviewSound {
        float gain = 0;
        VoiceRates rates;
        bool fadedOut = false;  // the envelope has ended: the channels stop
    };
    PreviewSound stepPreview(VoiceEffects& voice, char32_t note, int octaveShift) const;
    // True when the step's note was started ahead already; any other note
    // silences what was started ahead.
    bool takeAheadPreview(int channel, int noteOctave, int noteValue);

    // The sound of the song's own wave in the slot, made again when the wave
    // changed since; null for an empty slot.
    std::shared_ptr<c_Sound> ownWaveSound(int slot);

    const Song& song;
    const NoteCursor& cursor;
    OwnWaveSounds ownWaveSounds;
    OwnWave heldWave {};
    std::shared_ptr<c_Sound> heldWaveSound;
    char32_t lastNoteChar = 0;  // 0 = none yet
    std::shared_ptr<c_Sound> previewPrimary;
    std::shared_ptr<c_Sound> previewSecondary;
    float previewPwm = 0;
    VoiceEffects preview;
    // Octaves between the last previewed note and the entry octave: 0 for a
    // typed note, any for one from a MIDI keyboard.
    int previewOctaveShift = 0;
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
    std::array<std::shared_ptr<c_Sound>, waveformCount> previewSounds;
    bool channelsLent_ = false;
};
