// The per-voice effect state shared by the player's channels and the
// editor's note preview: arpeggio, envelope, envelope-to-pitch and the
// pulse-width sweep, with the per-tick steps both of them run.
#pragma once

struct Song;

struct VoiceEffects {
    int arpCounter = 0;
    int sweepCounter = 0;
    float envPhase = 0;
    int ticksSinceNote = 0;
    float envPitch = 0;
    int e2pAmount = 0;
    int spdValue = 0;
    float arpOffset = 0;
    int sweepPeriod = 8;
    int sweepDirection = 0;
};

// Restarts the effects for a new note (arpeggio, sweep, envelope, repeat
// count, envelope pitch); E2P, SPD and the sweep period are refreshed every
// tick anyway.
void restartEffects(VoiceEffects& voice);

// The effect steps of one tick after the envelope, in their order, with the
// slots of the instrument that drives the voice: envelope to pitch,
// arpeggio, repeat, pulse-width sweep.
void stepVoiceEffects(VoiceEffects& voice, const Song& song, int instrument);

// How far the envelope phase moves per tick for an ENV setting: one eighth
// of full level every ENV ticks. ENV 0 gives an infinite step, which ends the
// sound at once.
float envelopeStep(int envSpeed);

// Envelope to pitch: E2P (low nibble of the E2P/RPT slot) and the pitch pull
// it gives, the envelope phase while E2P is set.
void stepEnvelopePitch(VoiceEffects& voice, int e2pRptSlot);

// Arpeggio: the offset in semitones for this tick, base, first, second, SPD
// ticks each; AMT (low nibble of the AMT/SWP slot) 15 gives whole semitones.
void stepArpeggio(VoiceEffects& voice, int arpSpeed, int amtSwpSlot, int arpFirst, int arpSecond);

// Repeat: with RPT set the arpeggio runs once after a note, then the base
// note sounds. Runs after stepArpeggio, whose SPD it uses.
void stepRepeat(VoiceEffects& voice, int e2pRptSlot);

// Pulse-width sweep: the secondary oscillator's detune turns direction every
// SWP * 3 / 2 ticks (SWP the high nibble of the AMT/SWP slot).
void stepPulseSweep(VoiceEffects& voice, int amtSwpSlot);

// The playback rate of a note `exponent` semitones from the waveform's own
// pitch: the single-precision semitone ratio raised to the exponent in
// double precision, rounded to single.
float noteRate(float exponent);

struct VoiceRates {
    float primary;
    float secondary;
};

// The two oscillators' rates: the note's rate moved by the slide and pulled
// down by the envelope, the secondary detuned by PWM / 800 in the sweep's
// direction.
VoiceRates voiceRates(const VoiceEffects& voice, float baseRate, float slide, float pwmDepth);
