// How long a song plays: the ticks of whole passes through it, counted by
// running the player's own sequencer without sound.
#pragma once

#include "song/song_model.h"

// Speed and length as the tracker's spinners leave them once a song is
// loaded (speed 1..16, 1..99 positions), so that a damaged file cannot make
// an export of days.
void settleSongSettings(Song& song);

// Ticks from the start until the player is about to read the first row of
// position 0 for the (loops + 1)-th time. The first pass includes the
// player's lead-in before its first row. Counting stops past limit ticks:
// then the result is limit + 1.
long long passTicks(const Song& song, int loops, long long limit);
