// The transport: Standby, Editing and Playing, the row the screen follows
// while the song plays (the player's), the channel switches and the
// player's life.
#pragma once

#include "app/note_cursor.h"
#include "app/screen_layout.h"
#include "player/row_timeline.h"
#include "song/song_model.h"

#include <array>
#include <memory>

class c_InputDevice;
class c_kovoPlay;

// Transport states.
enum TransportState { stateEditing = 0, statePlaying = 1, stateStandby = 2 };

class Transport {
public:
    Transport(const Song& song, NoteCursor& cursor, String& statusText);

    bool playing() const { return transportState == statePlaying; }
    // Live editing: the song plays on while the editor writes into it, and
    // the player follows every change.
    bool live() const { return playing() && liveEditing; }
    // Notes, digits and row edits go into the song: Editing, or live.
    bool writesNotes() const { return transportState == stateEditing || live(); }
    // The first row of the view: the pattern of the current position, and
    // the row the clock stands at. While live the view holds the whole
    // pattern, and the row clock only moves the marker.
    int viewBase() const { return live() ? patternBaseRow : patternBaseRow + rowInPattern; }

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
    // Shows the pattern of the current position.
    void showCurrentPattern();
    // An active name field keeps the transport in Standby.
    void holdInStandby();
    // A playing song stops for something else to play or load; with
    // sayStandby the status row and the view's row say so.
    void stopPlaying(bool sayStandby);

    TransportState transportState = stateStandby;
    int currentPosition = 0;
    int patternBaseRow = 0;
    int rowInPattern = 0;
    std::array<float, channelCount> channelLevels {1.0f, 1.0f, 1.0f, 1.0f};
    bool followMode = false;  // the grid follows the playing row
    std::shared_ptr<c_kovoPlay> player;

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
    void keepPlayingStatus();

    bool liveEditing = false;
    // What the transport last wrote to the status row while playing, and an
    // outcome written over it since, with the steps it has been in view.
    String saidStatus;
    String heldOutcome;
    int heldSteps = 0;

    const Song& song;
    NoteCursor& cursor;
    String& statusText;
};
