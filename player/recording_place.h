// Which row a note played along with the song belongs to: the row the
// musician heard when the key went down, not the one being mixed. The sound
// reaches the ear one output latency after the device mixes it, so the key's
// moment is moved back by that latency and then rounded to the nearer row
// start: a key in the first half of a row lands on it, one in the second half
// on the row after it, as a player who is a little early means that row.
#pragma once

#include "player/row_timeline.h"

// keyClock and latency are on the device clock of the timeline's stamps, in
// nanoseconds. newestRowLength is how long the newest row lasts (no later
// row has begun to tell), and upcoming the row the player reads next. An
// empty timeline (nothing read yet, or no device clock) gives upcoming; a key
// before the oldest row kept gives that row.
PlayPlace rowHeardAt(const RowTimeline& timeline, int64_t keyClock, int64_t latency, int64_t newestRowLength,
                     PlayPlace upcoming);
