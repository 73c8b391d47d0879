// Writing a song for the tracker in a short note language, one channel of
// one pattern at a time, so that the example songs read like music rather
// than like cell values.
#pragma once

#include "song/song_model.h"

#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

// An instrument's panel values, as the panel shows them.
struct InstrumentSetting {
    int wav = 1, pwm = 0, swp = 0, env = 1;
    int e2p = 0, rpt = 0;
    int amt = 0, spd = 0, arp1 = 0, arp2 = 0;
    std::string description;  // at most 21 name characters
};

// The voice a line plays with unless a token names another.
struct Voice {
    int instrument = 1;
    int volume = 8;  // one hex digit, 1..F
};

// A drum kit: one character of a drum line, the hit it stands for.
struct DrumHit {
    int instrument;
    std::string_view pitch;  // as in a line, "C5"
    int volume;
};
using DrumKit = std::map<char, DrumHit>;

struct SongWriteError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class SongWriter {
public:
    explicit SongWriter(int speed);

    void instrument(int number, const InstrumentSetting& setting);

    // A line of tokens from row 0 of a pattern on one channel (1..4), each
    // "WHAT/ROWS" (ROWS 1 when left out); the rows after a token's first
    // stay empty. WHAT is
    //   a note: C4 is the waveform's own pitch; C#4 or Db4; B1 is too low,
    //     F6 too high. After it "@N" plays it on instrument N (hex), ":V"
    //     at volume V (hex), and a final "." glides to it: no volume digit,
    //     so the sound goes on and only the pitch changes;
    //   "r" a rest, "<" note off, "#" slide up and "+" slide down (on every
    //     row of the token), "-" the pattern's last row.
    // Transposing moves every note by that many semitones.
    void line(int pattern, int channel, const Voice& voice, std::string_view tokens, int transpose = 0);

    // One character a row from row 0, "." for none; a line shorter than the
    // pattern is repeated to its end.
    void drums(int pattern, int channel, const DrumKit& kit, std::string_view hits, int rows = rowsPerPattern);

    // The order patterns play in.
    void order(std::initializer_list<int> patterns);

    const Song& song() const { return song_; }

private:
    void note(int pattern, int row, int channel, int semitone, int volume, int instrument);
    void sign(int pattern, int row, int channel, char32_t sign);
    void put(int pattern, int row, int channel, int part, char32_t c);

    Song song_;
    int positions_ = 0;
};

// A note name to semitones above the lowest note the tracker plays (C2);
// throws for names it does not know and notes out of reach.
int semitoneOf(std::string_view name);
