#include "export/song_trace.h"

#include "export/song_passes.h"
#include "player/kovo_play.h"
#include "player/voice_trigger.h"
#include "song/waveform_table.h"

#include <cmath>

namespace {

constexpr size_t mostRows = static_cast<size_t>(positionCount) * rowsPerPattern;

// What the cells of a row do to a channel, read as the player reads them
// (see triggerOscillators): only a channel with a volume starts or stops,
// and only a volume digit on the row starts.
NoteStart startOf(const c_kovoPlay& player, int channel, int volumeDigit)
{
    const PlayerVoice& voice = player.voice(channel);
    int noteValue = static_cast<int>(voice.noteRead);
    if (voice.volume == 0 && volumeDigit == 0) return NoteStart::none;
    if (noteValue == noteOff) return NoteStart::stop;
    if (noteValue >= noteSlideDown) return NoteStart::none;
    bool playable = notePitch(voice.octaveDigit, noteValue) <= highestPlayablePitch;
    return playable && volumeDigit > 0 ? NoteStart::attack : NoteStart::legato;
}

TracedTick tickOf(const PlayerVoice& voice)
{
    float exponent = static_cast<float>(voice.latchedOctave * 12) + voice.note - 24.0f;
    float rate = voiceRates(voice.effects, noteRate(exponent + voice.effects.arpOffset), voice.slide, 0).primary;
    VoiceRates bent = voiceRates(voice.effects, noteRate(exponent), voice.slide, voice.pwmDepth);
    return {rate, bent.primary, bent.secondary - bent.primary, voice.effects.arpOffset,
            std::max(0.0f, voice.volume - voice.effects.envPhase)};
}

// Follows each channel's oscillators between rows: the wave pair the next
// attack plays, and the one they play.
struct ChannelFollow {
    int chosenWave = 0;
    int wave = 0;
};

class Tracer {
public:
    explicit Tracer(const Song& song) : player_(nullptr)
    {
        Song settled = song;
        settleSongSettings(settled);
        player_.play(settled);
    }

    std::vector<TracedRow> run();

private:
    TracedRow readRow();
    void readCell(TracedRow& row, int channel);

    c_kovoPlay player_;
    std::array<ChannelFollow, channelCount> follow_;
};

std::vector<TracedRow> Tracer::run()
{
    while (!player_.rowDue()) player_.tickPlayer();  // the lead-in
    std::vector<TracedRow> rows;
    do {
        rows.push_back(readRow());
        while (!player_.rowDue()) {
            player_.tickPlayer();
            for (int channel = 0; channel < channelCount; ++channel)
                rows.back().cells[static_cast<size_t>(channel)].ticks.push_back(
                    tickOf(player_.voice(channel)));
        }
        PlayPlace next = player_.upcomingPlace();
        rows.back().endsPattern = next.row == 0;
        if (next.position == 0 && next.row == 0) break;
    } while (rows.size() < mostRows);
    return rows;
}

TracedRow Tracer::readRow()
{
    TracedRow row;
    PlayPlace place = player_.upcomingPlace();
    row.position = place.position;
    row.row = place.row;
    std::array<int, channelCount> volumeDigits {};
    for (int channel = 0; channel < channelCount; ++channel) {
        int column = volumeColumn(channel + 1);
        volumeDigits[static_cast<size_t>(channel)] =
            hexDigitValue(player_.song().patternColumns[static_cast<size_t>(column)][static_cast<size_t>(
                player_.song().positions[static_cast<size_t>(place.position)] * rowsPerPattern + place.row)]);
    }
    player_.tickPlayer();
    for (int channel = 0; channel < channelCount; ++channel) {
        row.cells[static_cast<size_t>(channel)].volumeDigit = volumeDigits[static_cast<size_t>(channel)];
        readCell(row, channel);
    }
    return row;
}

void Tracer::readCell(TracedRow& row, int channel)
{
    const PlayerVoice& voice = player_.voice(channel);
    TracedCell& cell = row.cells[static_cast<size_t>(channel)];
    ChannelFollow& follow = follow_[static_cast<size_t>(channel)];
    int wave = instrumentSlot(player_.song(), voice.instrumentDigit, slotWave);
    if (waveformPairOf(wave) || holdsOwnWave(player_.song().ownWaves, wave)) follow.chosenWave = wave;
    cell.start = startOf(player_, channel, cell.volumeDigit);
    if (cell.start == NoteStart::attack) follow.wave = follow.chosenWave;
    cell.pitch = voice.latchedOctave * 12 + static_cast<int>(voice.note) - 24;
    cell.wave = follow.wave;
    cell.instrument = voice.latchedInstrument;
    cell.ticks.push_back(tickOf(voice));
}

} // namespace

std::vector<TracedRow> traceSong(const Song& song) { return Tracer(song).run(); }

float rateSemitones(float rate) { return rate > 0 ? 12.0f * std::log2(rate) : -120.0f; }
