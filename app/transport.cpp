#include "app/transport.h"

#include "app/audio_channels.h"
#include "app/status_texts.h"
#include "app/user_input.h"
#include "player/kovo_play.h"
#include "song/song_file.h"

Transport::Transport(const Song& song, NoteCursor& cursor, String& statusText)
    : song(song), cursor(cursor), statusText(statusText)
{
}

void Transport::switchChannels(const c_InputDevice& input)
{
    for (int n = 0; n < channelCount; ++n) {
        if (pressed(input, keyF5 + n) || clicked(input, buttons::channelSwitches[n]))
            channelLevels[n] = channelLevels[n] == 1.0f ? 0.0f : 1.0f;
    }
}

void Transport::toggleFollow(const c_InputDevice& input)
{
    if (!clicked(input, buttons::follow)) return;
    followMode = !followMode;
}

void Transport::toggleEditing(const c_InputDevice& input)
{
    if (!pressed(input, keySpace) && !clicked(input, buttons::edit)) return;
    rowInPattern = 0;
    stopAllChannels();
    if (transportState == stateStandby) {
        transportState = stateEditing;
        statusText = statusEditing;
    } else {
        transportState = stateStandby;
        statusText = statusStandby;
    }
}

void Transport::togglePlayback(const c_InputDevice& input)
{
    bool fromStart = pressed(input, keyF1);
    if (!fromStart && !pressed(input, keyF2) && !clicked(input, buttons::play)) return;
    stopAllChannels();
    tickCounter = 0;
    if (fromStart) {
        rowInPattern = 0;
        currentPosition = 0;
    }
    if (transportState == statePlaying) return stopPlaying(true);
    startPlayback();
}

void Transport::homeButton(const c_InputDevice& input)
{
    if (clicked(input, buttons::home)) rewind();
}

void Transport::rewind()
{
    rowInPattern = 0;
    currentPosition = 0;
}

void Transport::showCurrentPattern() { patternBaseRow = song.positions[currentPosition] * rowsPerPattern; }

void Transport::stopPlaying(bool sayStandby)
{
    cursor.row = 1;
    transportState = stateStandby;
    if (!sayStandby) return;
    rowInPattern = 0;
    statusText = statusStandby;
}

void Transport::holdInStandby()
{
    if (transportState != stateStandby) statusText = statusStandby;
    transportState = stateStandby;
    stopAllChannels();
}

void Transport::startPlaybackFromStart()
{
    stopAllChannels();
    rewind();
    startPlayback();
}

// The player gets its own copy of the song: the text tmp.dat is written
// with, taken from memory, so that neither a songs folder that cannot be
// written nor a second tracker writing tmp.dat changes what plays. tmp.dat
// is still written, as the hand-over others may read.
void Transport::startPlayback()
{
    tickCounter = -1;
    saveHandOverSong(song);
    player = std::make_shared<c_kovoPlay>();
    if (player->loadSongText(songText(song)) == LoadOutcome::loaded) {
        player->tick = 0;
        player->row = 0;
        player->patternBaseRow = 0;
        stopAllChannels();
        player->position = currentPosition;
    }
    cursor.row = 1;
    rowInPattern = 0;
    transportState = statePlaying;
}

void Transport::wrapRow()
{
    if (rowInPattern >= song.songLengthRows) rowInPattern = 0;
    if (rowInPattern < 0) rowInPattern = song.songLengthRows - rowsPerPattern;
}

void Transport::tickPlayback()
{
    statusText = statusPlaying;
    advanceRowClock();
    if (!player) return;
    player->channelLevels = channelLevels;
    player->tickPlayer();
}

// The screen's view of the playing row. It knows nothing of pattern-end
// marks, so after a pattern that ends early it runs behind the player; kept
// that way on purpose, songs are laid out with it in mind.
void Transport::advanceRowClock()
{
    if (tickCounter != song.speed) {
        tickCounter += 1;
        return;
    }
    rowInPattern += 1;
    if (rowInPattern == rowsPerPattern) {
        rowInPattern = 0;
        currentPosition += 1;
        // Equality test as in the player; past the last of the 256 positions
        // the clock wraps to the first, as the player does.
        if (currentPosition == song.songLengthRows / rowsPerPattern || currentPosition >= positionCount)
            currentPosition = 0;
    }
    showCurrentPattern();
    tickCounter = 1;
}
