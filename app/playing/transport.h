// The transport: Standby, Editing and Playing, the row the screen follows
// while the song plays (the player's), the channel switches and the
// player's life.
#pragma once

#include "app/editing/note_cursor.h"
#include "app/screen/screen_layout.h"
#include "app/screen/status_row.h"
#include "player/row_timeline.h"
#include "song/song_model.h"

#include <array>
#include <memory>
#include <utility>

class c_InputDevice;
class c_kovoPlay;

// Transport states.
enum TransportState { stateEditing = 0, statePlaying = 1, stateStandby = 2 };

class Transport {
public:
    Transport(const Song& song, NoteCursor& cursor, StatusRow& status);

    TransportState state() const { return state_; }
    bool playing() const { return state_ == statePlaying; }
    // Live editing: the song plays on while the editor writes into it, and
    // the player follows every change.
    bool live() const { return playing() && liveEditing; }
    // Notes, digits and row edits go into the song: Editing, or live.
    bool writesNotes() const { return state_ == stateEditing || live(); }
    // The first row of the view: the pattern of the current position, and
    // the row the clock stands at. While live the view holds the whole
    // pattern, and the row clock only moves the marker.
    int viewBase() const { return live() ? patternBase_ : patternBase_ + rowInPattern_; }

    // The position shown (the player's while it plays), the first row of
    // its pattern in the song's columns, and the row the view stands at in it.
    int position() const { return position_; }
    int patternBase() const { return patternBase_; }
    int rowInPattern() const { return rowInPattern_; }
    // 1 for a channel switched on, 0 for one off.
    const std::array<float, channelCount>& channelLevels() const { return channelLevels_; }
    // FLW: the grid follows the playing row.
    bool following() const { return following_; }
    // The player of the song last started; none before the sound device opened.
    const c_kovoPlay* player() const { return player_.get(); }

    // ---- The step's switches ----
    // F5-F8 and the on/off words switch a channel, and so do clicks on the
    // channel displays (the meters or the scopes): a left click switches
    // it, a right click solos it, or when it is the only one on, turns all
    // four on.
    void switchChannels(const c_InputDevice& input, const ButtonRect (&displays)[channelCount]);
    // FLW, remembered for the next start.
    void toggleFollow(const c_InputDevice& input);
    void readFollowSetting();
    void toggleEditing(const c_InputDevice& input);
    // Standby to Editing, as Space does; Editing to Standby.
    void switchEditing();
    void follow(bool on) { following_ = on; }
    void switchChannel(int channel, bool on) { channelLevels_[channel] = on ? 1.0f : 0.0f; }
    void togglePlayback(const c_InputDevice& input);
    // HOME: back to position 0, row 0.
    void homeButton(const c_InputDevice& input);

    // ---- Composing while it plays ----
    // Ctrl+R: live editing on or off while playing; not playing, playback
    // from the current position with live editing on.
    void toggleLive();
    // Ctrl+L while playing: loops rows first..last of the playing pattern,
    // or releases a loop.
    void toggleLoop(int first, int last);
    // The row a note entered now belongs to while live with FLW On: the one
    // heard when the key went down, by the device clock and its latency.
    PlayPlace heardPlace() const;
    // While live, a note just written sounds at once on its channel (1..4),
    // unless its row is the one the player reads next anyway.
    void soundEntry(PlayPlace place, int channel);
    // The status row's word while playing.
    String playingStatus() const;

    // F1 on a song that is not playing.
    void startPlaybackFromStart();
    // One tick of the player; while it plays, the screen shows the row its
    // row clock (or, live or looping, the row that sounds) stands at.
    void tickPlayback();
    // Keeps the view's row inside the song while not playing.
    void wrapRow();
    // Back to the first row of the first position.
    void rewind();
    // Not playing: the cursor on a cell of the song's columns (column
    // 0..15, index into it), at the current position if it plays that
    // pattern, else at the first that does. An undo shows its edit so.
    void showCell(int column, int index);
    // Ctrl+Home / Ctrl+End: the first / the last position of the song.
    void goToPosition(int position);
    // Page keys and the wheel: one position back or on, stopping at both ends.
    void stepPosition(int step);
    // The row the view (and while playing the marker) stands at in the
    // shown pattern, until the player or a key moves it.
    void showRow(int row) { rowInPattern_ = row; }
    // Shows the pattern of the current position.
    void showCurrentPattern();
    // An active name field keeps the transport in Standby.
    void holdInStandby();
    // A playing song stops for something else to play or load; with
    // sayStandby the status row and the view's row say so.
    void stopPlaying(bool sayStandby);
    // The player the sound device opened with; the transport plays through
    // it until a start makes its own.
    void usePlayer(std::shared_ptr<c_kovoPlay> player) { player_ = std::move(player); }
    // Follows a player that is playing already, as if started here.
    void playThrough(std::shared_ptr<c_kovoPlay> player);

private:
    void soloChannel(int channel);
    void startPlayback();
    // Leaves live editing and any loop, as Space, EDIT, F1, F2 and PLAY do.
    void leaveLive();
    // The screen's position and row taken from the player's.
    void showPlayerPlace();
    // Live editing on or off, and the player shows the rows that sound
    // while it is on.
    void setLive(bool on);
    void sayPlayingStatus();

    TransportState state_ = stateStandby;
    int position_ = 0;
    int patternBase_ = 0;
    int rowInPattern_ = 0;
    std::array<float, channelCount> channelLevels_ {1.0f, 1.0f, 1.0f, 1.0f};
    bool following_ = false;
    std::shared_ptr<c_kovoPlay> player_;
    bool liveEditing = false;

    const Song& song;
    NoteCursor& cursor;
    StatusRow& status;
};
