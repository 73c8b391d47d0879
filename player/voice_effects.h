// The per-voice effect state shared by the player's channels and the
// editor's note preview: arpeggio, envelope, envelope-to-pitch and the
// pulse-width sweep.
#pragma once

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
