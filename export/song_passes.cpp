#include "export/song_passes.h"

#include "player/kovo_play.h"

#include <algorithm>

namespace {
constexpr int slowestSpeed = 16;
} // namespace

void settleSongSettings(Song& song)
{
    song.speed = std::clamp(song.speed, 1, slowestSpeed);
    song.songLengthRows = std::clamp(song.songLengthRows / rowsPerPattern, 1, maxSongPositions) * rowsPerPattern;
}

// A pass ends where a row that took the player back to position 0, row 0
// is followed by the tick that reads that row. Every song gets there: the
// player wraps at the song's length or, at the latest, after position 255.
long long passTicks(const Song& song, int loops, long long limit)
{
    c_kovoPlay player(nullptr);
    player.play(song);
    long long ticks = 0;
    int passes = 0;
    bool wrapped = false;
    for (;;) {
        bool readsRow = player.rowDue();
        if (readsRow && wrapped && ++passes == loops) return ticks;
        if (ticks > limit) return ticks;
        if (readsRow) wrapped = false;
        player.tickPlayer();
        ticks += 1;
        if (readsRow && player.upcomingPlace() == PlayPlace {0, 0}) wrapped = true;
    }
}
