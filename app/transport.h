// The transport: Standby, Editing and Playing, the row clock the screen
// follows while the song plays, the channel switches and the player's life.
#pragma once

#include "app/note_cursor.h"
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
    // The first row of the view: the pattern of the current position, and
    // the row the clock stands at.
    int viewBase() const { return patternBaseRow + rowInPattern; }

    // ---- The step's switches ----
    void switchChannels(const c_InputDevice& input);
    void toggleFollow(const c_InputDevice& input);
    void toggleEditing(const c_InputDevice& input);
    void togglePlayback(const c_InputDevice& input);
    // HOME: back to position 0, row 0.
    void homeButton(const c_InputDevice& input);

    // F1 on a song that is not playing.
    void startPlaybackFromStart();
    void tickPlayback();
    void advanceRowClock();
    // Keeps the view's row inside the song while not playing.
    void wrapRow();
    // Back to the first row of the first position.
    void rewind();
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
    int tickCounter = 0;
    std::array<float, channelCount> channelLevels {1.0f, 1.0f, 1.0f, 1.0f};
    bool followMode = false;  // the grid follows the playing row
    std::shared_ptr<c_kovoPlay> player;

private:
    void startPlayback();

    const Song& song;
    NoteCursor& cursor;
    String& statusText;
};
