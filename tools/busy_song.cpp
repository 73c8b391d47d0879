// Writes the busy song the benchmark plays: eight patterns in which all four
// channels start a note on every row, each with its own instrument and a
// changing volume, so that the player and the meters never rest. With
// --short-notes, instrument 1 is a plain tone that fades out in 8 steps
// (160 ms): the latency benchmark plays it note by note, each from silence.
// With --every-two-rows, all four channels start a note on every other row,
// each instrument with pulse width modulation, a sweep and an arpeggio: the
// kind of song the peer trackers' CPU is compared on.
#include "base/text.h"
#include "song/song_file.h"

#include <cstdio>
#include <string>

namespace {

constexpr int patterns = 8;

// rowStep 1: a note on every row; 2: on every other row.
Song busySong(int rowStep)
{
    Song song;
    song.patternColumns = blankColumns();
    for (int i = 0; i < patterns * rowsPerPattern; i += rowStep) {
        for (int channel = 1; channel <= channelCount; ++channel) {
            song.patternColumns[noteColumn(channel)][i] = noteKeys[(i * 5 + channel * 7) % 24];
            song.patternColumns[volumeColumn(channel)][i] = U"FEDCBA98"[(i + channel) % 8];
            song.patternColumns[instrumentColumn(channel)][i] = U'0' + channel;
            song.patternColumns[octaveColumn(channel)][i] = U'1' + channel % 2;
        }
    }
    for (int p = 0; p < patterns; ++p) song.positions[p] = p;
    song.songLengthRows = patterns * rowsPerPattern;
    song.speed = 3;
    for (int instrument = 1; instrument <= channelCount; ++instrument) {
        int* slots = &song.instrumentParams[instrument * slotsPerInstrument];
        slots[slotWave] = instrument;
        slots[slotPwm] = 3;
        slots[slotEnvelope] = 40;
        slots[slotArpSpeed] = 2;
        slots[slotArpFirst] = 4;
        slots[slotArpSecond] = 7;
        // SWP in the high nibble, AMT in the low one.
        if (rowStep > 1) slots[slotAmtSwp] = (instrument + 1) * 16 + 2;
    }
    return song;
}

Song shortNoteSong()
{
    Song song;
    song.patternColumns = blankColumns();
    int* slots = &song.instrumentParams[1 * slotsPerInstrument];
    slots[slotWave] = 1;
    slots[slotEnvelope] = 1;
    return song;
}

} // namespace

int main(int argc, char** argv)
{
    std::string option = argc == 3 ? argv[1] : "";
    bool shortNotes = option == "--short-notes", everyTwoRows = option == "--every-two-rows";
    if (argc != 2 && !shortNotes && !everyTwoRows) {
        std::fprintf(stderr, "usage: %s [--short-notes | --every-two-rows] SONG_FILE\n", argv[0]);
        return 2;
    }
    Song song = shortNotes ? shortNoteSong() : busySong(everyTwoRows ? 2 : 1);
    std::string bytes = encodeUtf8(songText(song));
    std::FILE* file = std::fopen(argv[argc - 1], "wb");
    if (!file) return 1;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
