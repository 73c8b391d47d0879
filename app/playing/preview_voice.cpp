#include "app/playing/note_preview.h"

#include "app/playing/audio_channels.h"
#include "audio/audio_device.h"
#include "audio/sound.h"
#include "player/voice_effects.h"
#include "player/voice_trigger.h"
#include "song/wave_shapes.h"
#include "song/waveform_table.h"

#include <vector>

NotePreview::NotePreview(const Song& song, const NoteCursor& cursor) : song(song), cursor(cursor) {}

void NotePreview::selectPreviewSounds()
{
    int wave = instrumentSlot(song, cursor.instrument, slotWave);
    if (const WaveformPair* pair = waveformPairOf(wave)) {
        previewPrimary = previewSounds[pair->primary];
        previewSecondary = previewSounds[pair->secondary];
    } else if (isOwnWaveValue(wave) && song.ownWaves[ownWaveSlot(wave)]) {
        previewPrimary = ownWaveSound(ownWaveSlot(wave));
        previewSecondary = previewSounds[waveSilence];
    }
    previewPwm = static_cast<float>(instrumentSlot(song, cursor.instrument, slotPwm));
}

// One tick of the player's effects for a preview voice, at full level and
// the entry octave (a MIDI note keeps its distance from it).
NotePreview::PreviewSound NotePreview::stepPreview(VoiceEffects& voice, char32_t note, int octaveShift) const
{
    float step = envelopeStep(instrumentSlot(song, cursor.instrument, slotEnvelope));
    voice.envPhase += step;
    if (voice.envPhase > 1.0f) voice.envPhase = 1.0f;
    PreviewSound sound;
    sound.gain = 1.0f - voice.envPhase;
    sound.fadedOut = voice.envPhase >= 1.0f && step > 0.0f;
    stepVoiceEffects(voice, song, cursor.instrument);
    int semitones = notePitch(cursor.octave + octaveShift, noteValueOf(note));
    float exponent = static_cast<float>(semitones) + voice.arpOffset;
    sound.rates = voiceRates(voice, noteRate(exponent), 0, previewPwm);
    return sound;
}

// While the song is not playing the editor owns the volumes and rates of all
// eight channels.
void NotePreview::updatePreviewVoice()
{
    if (channelsLent_) return;
    PreviewSound sound = stepPreview(preview, lastNoteChar, previewOctaveShift);
    for (int channel = 1; channel <= 8; ++channel) setChannelGain(channel, sound.gain);
    // Faded out for good: stopped, the same silence, so that the sound device
    // can rest. The next note starts its channels afresh anyway.
    if (sound.fadedOut) stopAllChannels();
    for (int channel = 1; channel <= channelCount; ++channel) {
        setChannelPitch(channel, sound.rates.primary);
        setChannelPitch(channel + secondaryChannelOffset, sound.rates.secondary);
    }
}

void NotePreview::followNote(char32_t note, int octaveShift)
{
    if (note != U'-' && note != U'.') lastNoteChar = note;
    previewOctaveShift = octaveShift;
}

void NotePreview::sound(int channel, int noteOctave, int noteValue)
{
    channelsLent_ = false;
    if (!takeAheadPreview(channel, noteOctave, noteValue))
        triggerVoice(gxtkAudio::audio(), channel, noteOctave, noteValue, true, previewPrimary, previewSecondary);
}

std::shared_ptr<c_Sound> NotePreview::ownWaveSound(int slot)
{
    ownWaveSounds.follow(gxtkAudio::audio(), song.ownWaves);
    return ownWaveSounds[static_cast<size_t>(slot)];
}

void NotePreview::holdWaveNote(const OwnWave* wave, int octave)
{
    if (!wave) {
        if (heldWaveSound) stopAllChannels();
        heldWaveSound.reset();
        return;
    }
    if (!heldWaveSound || heldWave != *wave) {
        if (!heldWaveSound) stopAllChannels();
        heldWave = *wave;
        heldWaveSound = soundOfFrames(gxtkAudio::audio(), wave->data(), wave->size(), ownWaveRate);
        playSoundOn(heldWaveSound, 1, 1);
    }
    setChannelGain(1, 1.0f);
    setChannelPitch(1, noteRate(static_cast<float>(notePitch(octave, 0))));
}
