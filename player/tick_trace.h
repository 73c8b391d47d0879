// Where each tick of a player reached the sound, for tests that tell ticks
// apart in what the program played. Silent unless KOVO_TICK_TRACE names a
// file; then each tick appends one line, "PLAYER TICK FIRST LAST": the
// player's number (1 for the first player that ticked), the tick's number
// from the player's first tick (0), and the range of the device's mixed
// frames (gxtkAudio::mixedFrames) at whose start the tick's note starts,
// volumes and rates took effect. FIRST is LAST when the mixer did not run
// while the tick made its changes; otherwise each change took effect at one
// of the mixer's period starts within the range.
#pragma once

class gxtkAudio;

class TickTrace {
public:
    // Notes where the mix stands before a tick makes its changes.
    void tickBegins(const gxtkAudio* device);
    // Writes the tick's line once its changes are made.
    void tickEnds(const gxtkAudio* device);

private:
    int player_ = 0;  // 0 until the player's first tick
    long long tick_ = 0;
    long long framesBefore_ = -1;
};
