// The channel scopes: the last moments of what each tracker channel sounds
// (both oscillators at the volume the player gave them), read from what its
// audio channels were told to play and where their sources stand.
#pragma once

#include "audio/audio_device.h"

#include <array>

// How much sound a scope shows, and in how many columns.
constexpr double scopeSeconds = 0.02;
constexpr int scopeColumns = 58;

// Each column's lowest and highest value; 0 is silence, and the full volume
// of one oscillator reaches about 1.9.
struct ScopeTrace {
    std::array<float, scopeColumns> low {};
    std::array<float, scopeColumns> high {};
};

bool operator==(const ScopeTrace& a, const ScopeTrace& b);
inline bool operator!=(const ScopeTrace& a, const ScopeTrace& b) { return !(a == b); }

// The trace of a channel's two oscillators, oldest column first, ending where
// the sources stand now.
ScopeTrace traceOf(const ChannelWave& primary, const ChannelWave& secondary);

// The trace of tracker channel 0..3 on the device (a flat line without one).
ScopeTrace channelTrace(const gxtkAudio* device, int channel);
