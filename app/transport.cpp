#include "app/transport.h"

#include "app/audio_channels.h"
#include "app/cell_text.h"
#include "app/status_texts.h"
#include "app/user_input.h"
#include "base/settings_file.h"
#include "player/kovo_play.h"
#include "song/song_file.h"

#include <algorithm>

namespace {
constexpr char followSetting[] = "follow";

String loopStatus(const RowLoop& loop, int pattern)
{
    if (loop.first == 0 && loop.last == rowsPerPattern - 1) return statusLoopPattern + byteHex(pattern);
    return statusLoopRows + byteHex(loop.first) + U"-" + byteHex(loop.last);
}
} // namespace

Transport::Transport(const Song& song, NoteCursor& cursor, String& statusText)
    : song(song), cursor(cursor), statusText(statusText)
{
}

void Transport::switchChannels(const c_InputDevice& input, const ButtonRect (&displays)[channelCount])
{
    for (int n = 0; n < channelCount; ++n) {
        if (pressed(input, keyF5 + n) || clicked(input, buttons::channelSwitches[n]) || clicked(input, displays[n]))
            channelLevels[n] = channelLevels[n] == 1.0f ? 0.0f : 1.0f;
        if (pressed(input, keyMouseRight) && displays[n].contains(input.pointerX(), input.pointerY())) soloChannel(n);
    }
}

void Transport::soloChannel(int channel)
{
    bool alone = true;
    for (int n = 0; n < channelCount; ++n) alone = alone && (channelLevels[n] == 1.0f) == (n == channel);
    for (int n = 0; n < channelCount; ++n) channelLevels[n] = alone || n == channel ? 1.0f : 0.0f;
}

void Transport::toggleFollow(const c_InputDevice& input)
{
    if (!clicked(input, buttons::follow)) return;
    followMode = !followMode;
    writeSetting(settingsFilePath(), followSetting, followMode ? "on" : "off");
}

void Transport::readFollowSetting() { followMode = readSetting(settingsFilePath(), followSetting) == "on"; }

void Transport::toggleEditing(const c_InputDevice& input)
{
    if (!pressed(input, keySpace) && !clicked(input, buttons::edit)) return;
    leaveLive();
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
    leaveLive();
    stopAllChannels();
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

void Transport::showCell(int column, int index)
{
    if (playing()) return;
    int pattern = index / rowsPerPattern;
    if (song.positions[currentPosition] != pattern) {
        auto found = std::find(song.positions.begin(), song.positions.end(), pattern);
        // A pattern no position plays has no place on the screen.
        if (found == song.positions.end()) return;
        currentPosition = static_cast<int>(found - song.positions.begin());
    }
    rowInPattern = 0;
    showCurrentPattern();
    int channel = column % channelCount;
    // Instrument and octave digits belong to the note's cell.
    cursor.column = channel * 2 + (column / channelCount == 1 ? 2 : 1);
    cursor.row = index % rowsPerPattern + 1;
}

void Transport::goToPosition(int position)
{
    currentPosition = std::clamp(position, 0, positionCount - 1);
    showCurrentPattern();
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

// The player gets its own copy of the song from memory, as tmp.dat keeps
// it, so that neither a songs folder that cannot be written nor a second
// tracker writing tmp.dat changes what plays. tmp.dat is still written, as
// the hand-over others may read.
void Transport::startPlayback()
{
    liveEditing = false;
    saveHandOverSong(song);
    player = std::make_shared<c_kovoPlay>();
    player->play(song, {currentPosition, 0});
    stopAllChannels();
    cursor.row = 1;
    rowInPattern = 0;
    transportState = statePlaying;
    sayPlayingStatus();
}

void Transport::wrapRow()
{
    if (rowInPattern >= song.songLengthRows) rowInPattern = 0;
    if (rowInPattern < 0) rowInPattern = song.songLengthRows - rowsPerPattern;
}

void Transport::tickPlayback()
{
    keepPlayingStatus();
    if (!player) return;
    // Every edit of the step is heard from this tick on.
    if (live()) player->follow(song);
    player->useChannelLevels(channelLevels);
    player->tickPlayer();
    // With FLW Off the musician's position stays while live.
    if (followMode || !live()) showPlayerPlace();
}

void Transport::showPlayerPlace()
{
    PlayPlace place = player->shownPlace();
    currentPosition = place.position;
    rowInPattern = place.row;
    showCurrentPattern();
    if (live() && followMode) cursor.row = place.row + 1;
}

void Transport::toggleLive()
{
    if (!playing()) {
        stopAllChannels();
        // The cursor stays where the musician put it.
        int row = cursor.row;
        startPlayback();
        cursor.row = row;
        setLive(true);
        sayPlayingStatus();
        return;
    }
    setLive(!liveEditing);
    if (player) showPlayerPlace();
    sayPlayingStatus();
}

void Transport::setLive(bool on)
{
    liveEditing = on;
    if (player) player->showSoundingRows(on);
}

void Transport::leaveLive()
{
    setLive(false);
    if (player) player->clearLoop();
}

void Transport::toggleLoop(int first, int last)
{
    if (!playing() || !player) return;
    if (player->loop()) {
        player->clearLoop();
        showPlayerPlace();
    } else {
        player->loopRows(first, last);
    }
    sayPlayingStatus();
}

PlayPlace Transport::heardPlace() const
{
    return player ? player->rowHeardNow() : PlayPlace {currentPosition, cursor.row - 1};
}

void Transport::soundEntry(PlayPlace place, int channel)
{
    if (!live() || !player || place == player->upcomingPlace()) return;
    player->useChannelLevels(channelLevels);
    player->follow(song);
    player->playOneCell(place, channel - 1);
}

String Transport::playingStatus() const
{
    if (player && player->loop()) return loopStatus(*player->loop(), song.positions[player->upcomingPlace().position]);
    return live() ? statusRecording : statusPlaying;
}

void Transport::sayPlayingStatus()
{
    saidStatus = playingStatus();
    statusText = saidStatus;
    heldOutcome.clear();
}

// An outcome written since the transport last spoke (a save, a refused
// paste, an export) stays in view for a while, a new one for as long again;
// then the transport's word returns. A change of its own word shows at once.
void Transport::keepPlayingStatus()
{
    if (statusText != saidStatus && statusText != heldOutcome) {
        heldOutcome = statusText;
        heldSteps = 0;
    }
    bool holding = !heldOutcome.empty() && statusText == heldOutcome && ++heldSteps < outcomeHoldSteps;
    if (!holding && (statusText != saidStatus || playingStatus() != saidStatus)) sayPlayingStatus();
}
