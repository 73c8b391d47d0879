// Plays a song in memory on the process's audio device, whichever backend
// the environment leaves it, and says which rows the device clock stamped:
// rows 0..3 are silent, row 4 starts a note that sounds on through row 6.
#include "audio/audio_device.h"
#include "host/console.h"
#include "host/glfw_game.h"
#include "player/kovo_play.h"

namespace {

String placesText(const RowTimeline& timeline)
{
    String text = U"stamped:";
    for (size_t i = 0; i < timeline.size(); ++i) text += U" " + intText(timeline[i].place.row);
    return text;
}

} // namespace

int main()
{
    BBQuorvaneGame game;
    gxtkAudio audio;
    Song song;
    song.patternColumns = blankColumns();
    const int instrument[slotsPerInstrument] = {1, 0, 0, 0, 255, 0, 0, 0};
    for (int slot = 0; slot < slotsPerInstrument; ++slot) song.instrumentParams[8 + slot] = instrument[slot];
    const char32_t cells[] = {U'y', U'8', U'1', U'2'};
    for (int group = 0; group < 4; ++group) song.patternColumns[group * 4][4] = cells[group];
    c_kovoPlay player;
    player.play(song);

    // The first row is read on the fifth tick, the others every four.
    for (int tick = 0; tick < 5 + 6 * 4; ++tick) player.tickPlayer();
    printLine(placesText(player.timeline()));
    PlayPlace heard = player.rowHeardAt(audio.mixedTime().value_or(0), 0);
    printLine(U"heard: " + intText(heard.position) + U" " + intText(heard.row));
    return 0;
}
