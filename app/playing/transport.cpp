#include "app/playing/transport.h"

#include "app/editing/cell_text.h"
#include "app/keys/user_input.h"
#include "app/playing/audio_channels.h"
#include "app/screen/status_texts.h"
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

Transport::Transport(const Song& song, NoteCursor& cursor, StatusRow& status)
    : song(song), cursor(cursor), status(status)
{
}

void Transport::switchChannels(const c_InputDevice& input, const ButtonRect (&displays)[channelCount])
{
    for (int n = 0; n < channelCount; ++n) {
        if (pressed(input, keyF5 + n) || clicked(input, buttons::channelSwitches[n]) || clicked(input, displays[n]))
            channelLevels_[n] = channelLevels_[n] == 1.0f ? 0.0f : 1.0f;
        if (pressed(input, keyMouseRight) && displays[n].contains(input.pointerX(), input.pointerY())) soloChannel(n);
    }
}

void Transport::soloChannel(int channel)
{
    bool alone = true;
    for (int n = 0; n < channelCount; ++n) alone = alone && (channelLevels_[n] == 1.0f) == (n == channel);
    for (int n = 0; n < channelCount; ++n) channelLevels_[n] = alone || n == channel ? 1.0f : 0.0f;
}

void Transport::toggleFollow(const c_InputDevice& input)
{
    if (!clicked(input, buttons::follow)) return;
    following_ = !following_;
    writeSetting(settingsFilePath(), followSetting, following_ ? "on" : "off");
}

void Transport::readFollowSetting() { following_ = readSetting(settingsFilePath(), followSetting) == "on"; }

void Transport::toggleEditing(const c_InputDevice& input)
{
    if (!pressed(input, keySpace) && !clicked(input, buttons::edit)) return;
    leaveLive();
    rowInPattern_ = 0;
    stopAllChannels();
    switchEditing();
}

void Transport::switchEditing()
{
    bool editing = state_ == stateStandby;
    state_ = editing ? stateEditing : stateStandby;
    status.say(editing ? statusEditing : statusStandby);
}

void Transport::togglePlayback(const c_InputDevice& input)
{
    bool fromStart = pressed(input, keyF1);
    if (!fromStart && !pressed(input, keyF2) && !clicked(input, buttons::play)) return;
    leaveLive();
    stopAllChannels();
    if (fromStart) {
        rowInPattern_ = 0;
        position_ = 0;
    }
    if (state_ == statePlaying) return stopPlaying(true);
    startPlayback();
}

void Transport::homeButton(const c_InputDevice& input)
{
    if (clicked(input, buttons::home)) rewind();
}

void Transport::rewind()
{
    rowInPattern_ = 0;
    position_ = 0;
}

void Transport::showCell(int column, int index)
{
    if (playing()) return;
    int pattern = index / rowsPerPattern;
    if (song.positions[position_] != pattern) {
        auto found = std::find(song.positions.begin(), song.positions.end(), pattern);
        // A pattern no position plays has no place on the screen.
        if (found == song.positions.end()) return;
        position_ = static_cast<int>(found - song.positions.begin());
    }
    rowInPattern_ = 0;
    showCurrentPattern();
    int channel = column % channelCount;
    // Instrument and octave digits belong to the note's cell.
    cursor.column = channel * 2 + (column / channelCount == 1 ? 2 : 1);
    cursor.row = index % rowsPerPattern + 1;
}

void Transport::stepPosition(int step)
{
    position_ = std::clamp(position_ + step, 0, positionCount - 1);
    showCurrentPattern();
}

void Transport::goToPosition(int position)
{
    position_ = std::clamp(position, 0, positionCount - 1);
    showCurrentPattern();
}

void Transport::showCurrentPattern() { patternBase_ = song.positions[position_] * rowsPerPattern; }

void Transport::stopPlaying(bool sayStandby)
{
    cursor.row = 1;
    state_ = stateStandby;
    if (!sayStandby) return;
    rowInPattern_ = 0;
    status.say(statusStandby);
}

void Transport::holdInStandby()
{
    if (state_ != stateStandby) status.say(statusStandby);
    state_ = stateStandby;
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
    player_ = std::make_shared<c_kovoPlay>();
    player_->play(song, {position_, 0});
    stopAllChannels();
    cursor.row = 1;
    rowInPattern_ = 0;
    state_ = statePlaying;
    sayPlayingStatus();
}

void Transport::playThrough(std::shared_ptr<c_kovoPlay> player)
{
    player_ = std::move(player);
    state_ = statePlaying;
}

void Transport::wrapRow()
{
    if (rowInPattern_ >= song.songLengthRows) rowInPattern_ = 0;
    if (rowInPattern_ < 0) rowInPattern_ = song.songLengthRows - rowsPerPattern;
}

void Transport::tickPlayback()
{
    status.keepRunning(playingStatus());
    if (!player_) return;
    // Every edit of the step is heard from this tick on.
    if (live()) player_->follow(song);
    player_->useChannelLevels(channelLevels_);
    player_->tickPlayer();
    // With FLW Off the musician's position stays while live.
    if (following_ || !live()) showPlayerPlace();
}

void Transport::showPlayerPlace()
{
    PlayPlace place = player_->shownPlace();
    position_ = place.position;
    rowInPattern_ = place.row;
    showCurrentPattern();
    if (live() && following_) cursor.row = place.row + 1;
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
    if (player_) showPlayerPlace();
    sayPlayingStatus();
}

void Transport::setLive(bool on)
{
    liveEditing = on;
    if (player_) player_->showSoundingRows(on);
}

void Transport::leaveLive()
{
    setLive(false);
    if (player_) player_->clearLoop();
}

void Transport::toggleLoop(int first, int last)
{
    if (!playing() || !player_) return;
    if (player_->loop()) {
        player_->clearLoop();
        showPlayerPlace();
    } else {
        player_->loopRows(first, last);
    }
    sayPlayingStatus();
}

PlayPlace Transport::heardPlace() const
{
    return player_ ? player_->rowHeardNow() : PlayPlace {position_, cursor.row - 1};
}

void Transport::soundEntry(PlayPlace place, int channel)
{
    if (!live() || !player_ || place == player_->upcomingPlace()) return;
    player_->useChannelLevels(channelLevels_);
    player_->follow(song);
    player_->playOneCell(place, channel - 1);
}

String Transport::playingStatus() const
{
    if (player_ && player_->loop())
        return loopStatus(*player_->loop(), song.positions[player_->upcomingPlace().position]);
    return live() ? statusRecording : statusPlaying;
}

void Transport::sayPlayingStatus() { status.sayRunning(playingStatus()); }
