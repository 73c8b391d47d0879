// How a note cell starts and stops the two oscillators of a tracker channel:
// the player's rows and the editor's note preview both sound through it.
#pragma once

#include <memory>

class c_Sound;
class gxtkAudio;

// Tracker channel ch (1..4) plays its primary oscillator on audio channel ch
// and its secondary one on audio channel ch + 4.
constexpr int secondaryChannelOffset = 4;
// A pitch above this many semitones over the waveform's own starts nothing.
constexpr int highestPlayablePitch = 43;

// Semitones from the waveform's own pitch of a note value at an octave digit.
constexpr int notePitch(int octave, int noteValue) { return octave * 12 + noteValue - 24; }

// "<" stops both oscillators; a playable note stops them and, when mayStart
// is set, starts both sounds looped from their first frame (an empty sound
// is skipped). Marks and notes above the playable range do nothing.
void triggerVoice(gxtkAudio* device, int channel, int octave, int noteValue, bool mayStart,
                  const std::shared_ptr<c_Sound>& primary, const std::shared_ptr<c_Sound>& secondary);
