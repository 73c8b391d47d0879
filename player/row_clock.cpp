#include "player/row_clock.h"

#include "song/song_model.h"

void RowClock::tick(int speed, int songLengthRows)
{
    if (count != speed) {
        count += 1;
        return;
    }
    place.row += 1;
    if (place.row == rowsPerPattern) {
        place.row = 0;
        place.position += 1;
        if (place.position == songLengthRows / rowsPerPattern || place.position >= positionCount) place.position = 0;
    }
    count = 1;
}
