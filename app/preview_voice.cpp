#include "app/sound_engine.h"

#include "audio/sound.h"
#include "player/voice_effects.h"
#include "player/voice_trigger.h"
#include "player/waveform_table.h"

// The preview plays the current instrument's waveform pair, refreshed every
// step so that a change in the panel is heard at once.
void c_SoundEngine::selectPreviewSounds()
{
    int wave = instrumentSlot(*this, currentInstrument, slotWave);
    if (const WaveformPair* pair = waveformPairOf(wave)) {
        previewPrimary = previewSounds[pair->primary];
        previewSecondary = previewSounds[pair->secondary];
    }
    previewPwm = static_cast<float>(instrumentSlot(*this, currentInstrument, slotPwm));
}

// One tick of the player's effects for a preview voice, at full level and
// the entry octave (a MIDI note keeps its distance from it).
c_SoundEngine::PreviewSound c_SoundEngine::stepPreview(VoiceEffects& voice, char32_t note, int octaveShift) const
{
    float step = envelopeStep(instrumentSlot(*this, currentInstrument, slotEnvelope));
    voice.envPhase += step;
    if (voice.envPhase > 1.0f) voice.envPhase = 1.0f;
    PreviewSound sound;
    sound.gain = 1.0f - voice.envPhase;
    sound.fadedOut = voice.envPhase >= 1.0f && step > 0.0f;
    stepVoiceEffects(voice, *this, currentInstrument);
    int semitones = notePitch(octave + octaveShift, noteValueOf(note));
    float exponent = static_cast<float>(semitones) + voice.arpOffset;
    sound.rates = voiceRates(voice, noteRate(exponent), 0, previewPwm);
    return sound;
}

// While the song is not playing the editor owns the volumes and rates of all
// eight channels.
void c_SoundEngine::updatePreviewVoice()
{
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
