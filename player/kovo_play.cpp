#include "player/kovo_play.h"

#include "base/data_files.h"
#include "song/song_file.h"
#include "audio/audio_device.h"
#include "audio/sound.h"
#include "player/recording_place.h"
#include "player/voice_trigger.h"

#include <algorithm>
#include <utility>

namespace {

// First column of each group of four (channel 1's).
enum ColumnGroup { noteColumns = 0, volumeColumns = 4, instrumentColumns = 8, octaveColumns = 12 };

// Channels are counted from 0 here; the audio channels they drive from 1.
int primaryChannelOf(int channel) { return channel + 1; }
int secondaryChannelOf(int channel) { return primaryChannelOf(channel) + secondaryChannelOffset; }

// An octave cell read as a decimal number; anything else is 0.
int octaveValue(char32_t c) { return c >= U'0' && c <= U'9' ? static_cast<int>(c - U'0') : 0; }

} // namespace

// The song as its file keeps it: a song plays the same from the editor, from
// its file and in an export.
void c_kovoPlay::play(const Song& song, PlayPlace from)
{
    loadWaveforms();
    song_ = storedSong(song);
    ownSounds_.follow(device(), song_.ownWaves);
    startAt(from);
}

void c_kovoPlay::startAt(PlayPlace from)
{
    bool inside = from.position >= 0 && from.position < positionCount && from.row >= 0 && from.row < rowsPerPattern;
    position_ = inside ? from.position : 0;
    row_ = inside ? from.row : 0;
    patternBaseRow_ = 0;
    tick_ = 0;
    loop_.reset();
    afterLoop_.reset();
    lastRead_.reset();
    timeline_.clear();
    endPassed_ = false;
    clock_ = RowClock();
    clock_.place = {position_, row_};
    soundingRowsShown_ = false;
}

void c_kovoPlay::goTo(PlayPlace place)
{
    position_ = std::clamp(place.position, 0, positionCount - 1);
    row_ = std::clamp(place.row, 0, rowsPerPattern - 1);
    tick_ = static_cast<float>(song_.speed);
}

void c_kovoPlay::useWaveforms(const Waveforms& sounds)
{
    waveSounds_ = sounds;
    waveformsLoaded_ = true;
}

void c_kovoPlay::loadWaveforms()
{
    if (waveformsLoaded_) return;
    for (size_t i = 0; i < waveformCount; ++i) waveSounds_[i] = loadSoundFile(device(), widen(waveformFiles[i]));
    waveformsLoaded_ = true;
}

void c_kovoPlay::tickPlayer()
{
    trace_.tickBegins(device());
    if (!showsSoundingRows()) clock_.tick(song_.speed, song_.songLengthRows);
    if (position_ < 0 || position_ >= positionCount) position_ = 0;
    patternBaseRow_ = song_.positions[position_] * rowsPerPattern;
    if (rowDue()) processRow();
    tickVoices();
    tick_ += 1;
    trace_.tickEnds(device());
}

void c_kovoPlay::tickVoices()
{
    for (int channel = 0; channel < channelCount; ++channel) applyEffects(channel);
}

gxtkAudio* c_kovoPlay::device() const { return ownDevice_ ? device_ : gxtkAudio::audio(); }

// ---- Rows ----

// The cell of the current row in a column; a player that never loaded a
// song has empty columns, which read as blank cells.
char32_t c_kovoPlay::cell(int column) const
{
    const String& cells = song_.patternColumns[column];
    size_t index = static_cast<size_t>(patternBaseRow_ + row_);
    return index < cells.size() ? cells[index] : blankCharOf(column);
}

void c_kovoPlay::processRow()
{
    readRow();
    lastRead_ = upcomingPlace();
    afterLoop_.reset();
    recordRowStart();
    advanceRow();
}

// Every channel's cells of the current row, in the order the voices take them.
void c_kovoPlay::readRow()
{
    for (int channel = 0; channel < channelCount; ++channel) readChannel(channel);
}

void c_kovoPlay::readChannel(int channel)
{
    PlayerVoice& voice = voices_[channel];
    readNote(channel);
    voice.instrumentDigit = hexDigitValue(cell(instrumentColumns + channel));
    readVolume(channel);
    voice.octaveDigit = octaveValue(cell(octaveColumns + channel));
    chooseWaveforms(channel);
    if (voice.instrumentDigit != 0)
        voice.pwmDepth = static_cast<float>(instrumentSlot(song_, voice.instrumentDigit, slotPwm));
    triggerOscillators(channel);
    if (voice.instrumentDigit != 0) {
        voice.latchedInstrument = voice.instrumentDigit;
        voice.latchedOctave = voice.octaveDigit;
    }
    voice.lastRowNote = voice.noteRead;
}

// When the row began, for placing notes played along with it. A device that
// rests while nothing sounds stops its clock: rows read then cannot be told
// apart by it, so the timeline starts again with the next row that sounds.
void c_kovoPlay::recordRowStart()
{
    gxtkAudio* audio = device();
    std::optional<int64_t> clock = audio && !audio->deviceResting() ? audio->mixedTime() : std::nullopt;
    if (clock)
        timeline_.record({*clock, *lastRead_});
    else
        timeline_.clear();
}

// A note value below 127 starts a note: pitch and effects restart, the
// oscillators only when the row also has a volume digit.
void c_kovoPlay::readNote(int channel)
{
    PlayerVoice& voice = voices_[channel];
    voice.noteRead = static_cast<float>(noteValueOf(cell(noteColumns + channel)));
    if (voice.noteRead >= noteSlideDown) return;
    voice.note = voice.noteRead;
    voice.slide = 0;
    restartEffects(voice.effects);
}

// A muted channel gets volume 0 only from its next volume digit on; a digit
// of 0 keeps the volume in force.
void c_kovoPlay::readVolume(int channel)
{
    int digit = hexDigitValue(cell(volumeColumns + channel));
    if (digit != 0) voices_[channel].volume = static_cast<float>(digit) * 0.125f * channelLevels_[channel];
}

// The instrument digit of this row chooses, not the latched one: digit 0
// looks at instrument block 0.
void c_kovoPlay::chooseWaveforms(int channel)
{
    PlayerVoice& voice = voices_[channel];
    int wave = instrumentSlot(song_, voice.instrumentDigit, slotWave);
    if (isOwnWaveValue(wave)) {
        // An own wave has no partner: the secondary stays silent, as with
        // WAV 4..7. An empty slot is as unknown a value as any other.
        const std::shared_ptr<c_Sound>& own = ownSounds_[static_cast<size_t>(ownWaveSlot(wave))];
        if (!own) return;
        voice.primarySound = own;
        voice.secondarySound = waveSounds_[waveSilence];
        return;
    }
    const WaveformPair* pair = waveformPairOf(wave);
    if (!pair) return;
    voice.primarySound = waveSounds_[static_cast<size_t>(pair->primary)];
    voice.secondarySound = waveSounds_[static_cast<size_t>(pair->secondary)];
}

// Only a channel with a volume can stop or start its oscillators, and only
// a volume digit on the row starts them.
void c_kovoPlay::triggerOscillators(int channel)
{
    PlayerVoice& voice = voices_[channel];
    if (voice.volume == 0) return;
    bool volumeOnRow = hexDigitValue(cell(volumeColumns + channel)) > 0;
    triggerVoice(device(), primaryChannelOf(channel), voice.octaveDigit, static_cast<int>(voice.noteRead), volumeOnRow,
                 voice.primarySound, voice.secondarySound);
}

// "-" in channels 1..3 jumps to the last row and then steps past it, while
// "-" in channel 4 jumps past it directly: the same end, kept as written.
void c_kovoPlay::advanceRow()
{
    PlayPlace read = upcomingPlace();
    bool endPassed = endPassed_;
    for (int channel = 0; channel < channelCount - 1; ++channel)
        if (voices_[channel].noteRead == notePatternEnd) row_ = rowsPerPattern - 1;
    row_ = voices_[channelCount - 1].noteRead == notePatternEnd ? rowsPerPattern : row_ + 1;
    tick_ = 0;
    bool patternEnded = row_ == rowsPerPattern;
    if (patternEnded) advancePosition();
    if (loop_ && (patternEnded || read.row >= loop_->last)) loopBack(read, endPassed);
}

// A loop takes the player back from its last row, from a pattern end before
// it, and from any row after it (a loop set behind the player starts at
// once). Where the song would have gone is kept until the next read, so that
// a loop cleared in between still goes there.
void c_kovoPlay::loopBack(PlayPlace read, bool endPassed)
{
    afterLoop_ = AfterLoop {upcomingPlace(), endPassed_};
    position_ = read.position;
    row_ = loop_->first;
    endPassed_ = endPassed;
}

void c_kovoPlay::showSoundingRows(bool on)
{
    soundingRowsShown_ = on;
    keepClockWithSoundingRow();
}

void c_kovoPlay::keepClockWithSoundingRow() { clock_ = RowClock {soundingPlace(), static_cast<int>(tick_)}; }

void c_kovoPlay::clearLoop()
{
    if (afterLoop_) {
        position_ = afterLoop_->place.position;
        row_ = afterLoop_->place.row;
        endPassed_ = afterLoop_->endPassed;
    }
    loop_.reset();
    afterLoop_.reset();
    keepClockWithSoundingRow();
}

// The song loops at its length by an equality test, kept on purpose:
// playback started beyond the length plays on through the later positions.
// Past the last of the 256 positions it wraps to the first.
void c_kovoPlay::advancePosition()
{
    row_ = 0;
    position_ += 1;
    if (position_ == song_.songLengthRows / rowsPerPattern || position_ >= positionCount || endPassed_) position_ = 0;
    endPassed_ = false;
}

// ---- Playing along with an editor ----

// The columns share their texts with the editor's (no characters are
// copied), and the descriptions, which make no sound, are left out: a follow
// allocates nothing unless a wave changed, so it can run on every update step.
void c_kovoPlay::follow(const Song& edited)
{
    loadWaveforms();
    bool inside = endPassed_ || position_ < song_.songLengthRows / rowsPerPattern;
    song_.patternColumns = edited.patternColumns;
    song_.positions = edited.positions;
    song_.instrumentParams = edited.instrumentParams;
    song_.songLengthRows = edited.songLengthRows;
    song_.speed = edited.speed;
    song_.ownWaves = edited.ownWaves;
    ownSounds_.follow(device(), song_.ownWaves);
    endPassed_ = inside && position_ >= song_.songLengthRows / rowsPerPattern;
    keepRowsComing();
    refreshPulseWidths();
}

// A row is read when the tick count equals the speed: a speed lowered below
// the count of the row that plays makes the next tick read the next row,
// where the count would otherwise never meet the speed again.
void c_kovoPlay::keepRowsComing() { tick_ = std::min(tick_, static_cast<float>(song_.speed)); }

// The detune is taken from the instrument on its rows; a changed PWM of the
// instrument a voice plays is heard from the next tick, as its other effects.
void c_kovoPlay::refreshPulseWidths()
{
    for (PlayerVoice& voice : voices_)
        if (voice.latchedInstrument != 0)
            voice.pwmDepth = static_cast<float>(instrumentSlot(song_, voice.latchedInstrument, slotPwm));
}

void c_kovoPlay::loopRows(int first, int last)
{
    first = std::clamp(first, 0, rowsPerPattern - 1);
    last = std::clamp(last, 0, rowsPerPattern - 1);
    if (first > last) std::swap(first, last);
    loop_ = RowLoop {first, last};
}

bool c_kovoPlay::playOneRow(PlayPlace place)
{
    if (!readAt(place, 0, channelCount)) return false;
    tickVoices();
    return true;
}

bool c_kovoPlay::playOneCell(PlayPlace place, int channel)
{
    return channel >= 0 && channel < channelCount && readAt(place, channel, channel + 1);
}

bool c_kovoPlay::readAt(PlayPlace place, int firstChannel, int endChannel)
{
    if (place.position < 0 || place.position >= positionCount || place.row < 0 || place.row >= rowsPerPattern)
        return false;
    PlayPlace kept = upcomingPlace();
    int keptBase = patternBaseRow_;
    position_ = place.position;
    row_ = place.row;
    patternBaseRow_ = song_.positions[position_] * rowsPerPattern;
    for (int channel = firstChannel; channel < endChannel; ++channel) readChannel(channel);
    position_ = kept.position;
    row_ = kept.row;
    patternBaseRow_ = keptBase;
    return true;
}

PlayPlace c_kovoPlay::rowHeardAt(int64_t keyClock, int64_t latency) const
{
    if (timeline_.empty()) return soundingPlace();
    return ::rowHeardAt(timeline_, keyClock, latency, song_.speed * tickNanoseconds, upcomingPlace());
}

PlayPlace c_kovoPlay::rowHeardNow() const
{
    const gxtkAudio* audio = device();
    std::optional<DeviceClock> clock = audio ? audio->deviceClock() : std::nullopt;
    return clock ? rowHeardAt(clock->mixed, clock->latency) : soundingPlace();
}

// ---- Ticks ----

void c_kovoPlay::applyEffects(int channel)
{
    PlayerVoice& voice = voices_[channel];
    applyEnvelope(channel);
    stepVoiceEffects(voice.effects, song_, voice.latchedInstrument);
    applySlide(voice);
    applyRates(channel);
}

// The volume falls by an eighth every ENV ticks. The phase stops growing at
// its first value of 1 or more, so digits 9..F settle at digit / 8 - 1
// instead of fading out: kept on purpose, songs use them as held notes.
void c_kovoPlay::applyEnvelope(int channel)
{
    PlayerVoice& voice = voices_[channel];
    VoiceEffects& effects = voice.effects;
    if (effects.envPhase < 1.0f) effects.envPhase += envelopeStep(latchedSlot(voice, slotEnvelope));
    float output = voice.volume - effects.envPhase;
    if (output < 0) {
        voice.volume = 0;
        effects.envPhase = 0;
        output = 0;
    }
    setChannelGain(device(), primaryChannelOf(channel), output);
    setChannelGain(device(), secondaryChannelOf(channel), output);
}

// "+" and "#" slide on every tick of their row, as fast as the channel is
// loud; the slide stays until the next note.
void c_kovoPlay::applySlide(PlayerVoice& voice)
{
    float step = voice.volume * 8.0f * 0.005f;
    if (voice.lastRowNote == noteSlideDown) voice.slide -= step;
    if (voice.lastRowNote == noteSlideUp) voice.slide += step;
}

void c_kovoPlay::applyRates(int channel)
{
    PlayerVoice& voice = voices_[channel];
    float exponent = static_cast<float>(voice.latchedOctave * 12) + voice.note - 24.0f + voice.effects.arpOffset;
    VoiceRates rates = voiceRates(voice.effects, noteRate(exponent), voice.slide, voice.pwmDepth);
    setChannelPitch(device(), primaryChannelOf(channel), rates.primary);
    setChannelPitch(device(), secondaryChannelOf(channel), rates.secondary);
}

int c_kovoPlay::latchedSlot(const PlayerVoice& voice, int slot) const
{
    return instrumentSlot(song_, voice.latchedInstrument, slot);
}
