#include "tests/support/songs/note_grid_song.h"

Song noteGridSong(int speed, int positions, int rowStep, const std::array<const char32_t*, 4>& cells)
{
    Song song;
    song.patternColumns = blankColumns();
    song.speed = speed;
    song.songLengthRows = positions * rowsPerPattern;
    const int instrument[slotsPerInstrument] = {1, 6, 0, 0x35, 60, 2, 4, 7};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = instrument[slot];
    for (int channel = 1; channel <= 4; ++channel)
        for (int row = channel; row < rowsPerPattern; row += rowStep)
            for (int part = 0; part < 4; ++part)
                song.patternColumns[channelColumn(channel, part)][static_cast<size_t>(row)] = cells[channel - 1][part];
    return song;
}
