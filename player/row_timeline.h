// Where the player is in a song, and when its recent rows began on the audio
// device's clock: what a note played along with the song is placed by.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// A row of the song: its position in the position list and its row 0..31
// in that position's pattern.
struct PlayPlace {
    int position = 0;
    int row = 0;
};

inline bool operator==(const PlayPlace& a, const PlayPlace& b) { return a.position == b.position && a.row == b.row; }
inline bool operator!=(const PlayPlace& a, const PlayPlace& b) { return !(a == b); }

// A row as the player read it, stamped with the device clock (nanoseconds
// of sound mixed) at that moment.
struct RowStart {
    int64_t clock = 0;
    PlayPlace place;
};

// One update step of the player, 1/50 s, in the device clock's nanoseconds.
constexpr int64_t tickNanoseconds = 20'000'000;

// The last rows read, oldest first. A fixed ring: the player records into it
// on every row without allocating, and keeps far more than any device's
// latency can reach back (64 rows at speed 1 are 1.28 s).
class RowTimeline {
public:
    static constexpr size_t capacity = 64;

    void record(const RowStart& start);
    void clear() { count_ = 0; }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The i-th row kept, 0 the oldest.
    const RowStart& operator[](size_t i) const { return starts_[(next_ + capacity - count_ + i) % capacity]; }
    const RowStart& newest() const { return (*this)[count_ - 1]; }

private:
    std::array<RowStart, capacity> starts_ {};
    size_t next_ = 0;   // where the next row goes
    size_t count_ = 0;
};
