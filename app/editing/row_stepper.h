// Ctrl+Enter's player: while the song does not play it sounds single rows of
// the editor's song on all four channels, as the song's player would, and
// lets them ring out step by step, so a pattern can be gone through by ear.
#pragma once

#include "player/row_timeline.h"
#include "song/song_model.h"

#include <array>
#include <memory>

class c_kovoPlay;

class RowStepper {
public:
    RowStepper();
    ~RowStepper();

    // Sounds the row with the song as it is now; false for a place outside
    // the song.
    bool playRow(const Song& song, PlayPlace place, const std::array<float, channelCount>& levels);
    // One update step of the sounding rows.
    void tick(const std::array<float, channelCount>& levels);
    // The channels go to someone else (the preview, the song's player).
    void release() { sounding = false; }
    bool holdsChannels() const { return sounding; }

private:
    // Made at the first row, with its waveforms loaded once.
    std::unique_ptr<c_kovoPlay> player;
    bool sounding = false;
};
