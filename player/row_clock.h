// The row the screen shows while a song plays. It steps one row every
// `speed` ticks and knows nothing of pattern-end marks, so after a pattern
// that ends early it runs behind the row that sounds: kept that way on
// purpose, songs are laid out with it in mind.
#pragma once

#include "player/row_timeline.h"

struct RowClock {
    PlayPlace place;
    // Ticks counted in the row; a start counts from -1, so the first row
    // stays one tick longer.
    int count = -1;

    // One tick. Like the player, the clock wraps at the song's length by an
    // equality test, and after position 255 to the first.
    void tick(int speed, int songLengthRows);
};
