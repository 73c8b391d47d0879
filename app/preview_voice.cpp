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

// One tick of the player's effects for the single preview voice, at full
// level and the entry octave (a MIDI note keeps its distance from it). While
// the song is not playing the editor owns the volumes and rates of all eight
// channels.
void c_SoundEngine::updatePreviewVoice()
{
    auto slot = [this](int n) { return instrumentSlot(*this, currentInstrument, n); };
    float step = envelopeStep(slot(slotEnvelope));
    preview.envPhase += step;
    if (preview.envPhase > 1.0f) preview.envPhase = 1.0f;
    for (int channel = 1; channel <= 8; ++channel) setChannelGain(channel, 1.0f - preview.envPhase);
    // Faded out for good: stopped, the same silence, so that the sound device
    // can rest. The next note starts its channels afresh anyway.
    if (preview.envPhase >= 1.0f && step > 0.0f) stopAllChannels();
    stepVoiceEffects(preview, *this, currentInstrument);
    int semitones = notePitch(octave + previewOctaveShift, noteValueOf(lastNoteChar));
    float exponent = static_cast<float>(semitones) + preview.arpOffset;
    VoiceRates rates = voiceRates(preview, noteRate(exponent), 0, previewPwm);
    for (int channel = 1; channel <= channelCount; ++channel) {
        setChannelPitch(channel, rates.primary);
        setChannelPitch(channel + secondaryChannelOffset, rates.secondary);
    }
}
