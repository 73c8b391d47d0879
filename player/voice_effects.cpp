#include "player/voice_effects.h"

#include "song/song_model.h"

#include <cmath>
#include <limits>

namespace {

// 2 to the power 1/12 in single precision: the rates of whole octaves come
// out a little off (2.0000012), as the songs were tuned with.
constexpr float semitoneRatio = 1.0594631433486938f;

int lowNibble(int slot) { return slot % 16; }
int highNibble(int slot) { return slot / 16; }

// AMT scales an ARP value down from whole semitones at 15.
float arpeggioOffset(int amount, int value) { return static_cast<float>(amount * value) / 15.0f; }

} // namespace

// The arpeggio offset and the envelope pitch are also set by the next
// tick's steps before anything reads them; clearing them here only keeps a
// restarted voice from showing values of its last note.
void restartEffects(VoiceEffects& voice)
{
    voice.arpOffset = 0;
    voice.arpCounter = 0;
    voice.sweepCounter = 0;
    voice.envPhase = 0;
    voice.ticksSinceNote = 0;
    voice.envPitch = 0;
}

void stepVoiceEffects(VoiceEffects& voice, const Song& song, int instrument)
{
    auto slot = [&](int n) { return instrumentSlot(song, instrument, n); };
    stepEnvelopePitch(voice, slot(slotE2pRpt));
    stepArpeggio(voice, slot(slotArpSpeed), slot(slotAmtSwp), slot(slotArpFirst), slot(slotArpSecond));
    stepRepeat(voice, slot(slotE2pRpt));
    stepPulseSweep(voice, slot(slotAmtSwp));
}

float envelopeStep(int envSpeed)
{
    if (envSpeed == 0) return std::numeric_limits<float>::infinity();
    return 1.0f / static_cast<float>(envSpeed) * 0.125f;
}

void stepEnvelopePitch(VoiceEffects& voice, int e2pRptSlot)
{
    voice.e2pAmount = lowNibble(e2pRptSlot);
    voice.envPitch = voice.e2pAmount != 0 ? voice.envPhase : 0.0f;
}

// The three tests run in this order, so with SPD 0 the second offset wins.
void stepArpeggio(VoiceEffects& voice, int arpSpeed, int amtSwpSlot, int arpFirst, int arpSecond)
{
    voice.spdValue = arpSpeed;
    int amount = lowNibble(amtSwpSlot);
    int k = voice.arpCounter;
    if (k == 0) voice.arpOffset = 0;
    if (k == arpSpeed) voice.arpOffset = arpeggioOffset(amount, arpFirst);
    if (k == 2 * arpSpeed) voice.arpOffset = arpeggioOffset(amount, arpSecond);
    voice.arpCounter = k + 1;
    if (voice.arpCounter == 3 * arpSpeed) voice.arpCounter = 0;
}

void stepRepeat(VoiceEffects& voice, int e2pRptSlot)
{
    voice.ticksSinceNote += 1;
    if (highNibble(e2pRptSlot) != 0 && voice.ticksSinceNote > 3 * voice.spdValue) voice.arpCounter = 0;
}

void stepPulseSweep(VoiceEffects& voice, int amtSwpSlot)
{
    voice.sweepPeriod = highNibble(amtSwpSlot) * 3;
    voice.sweepCounter += 1;
    int half = voice.sweepPeriod / 2;
    if (voice.sweepCounter < half) voice.sweepDirection = 1;
    if (voice.sweepCounter > half) voice.sweepDirection = -1;
    if (voice.sweepCounter == voice.sweepPeriod) voice.sweepCounter = 0;
    if (voice.sweepPeriod == 0) voice.sweepDirection = 1;
}

float noteRate(float exponent)
{
    return static_cast<float>(std::pow(static_cast<double>(semitoneRatio), static_cast<double>(exponent)));
}

VoiceRates voiceRates(const VoiceEffects& voice, float baseRate, float slide, float pwmDepth)
{
    float envelopePull = static_cast<float>(voice.e2pAmount) * voice.envPitch;
    float detune = pwmDepth / 800.0f * static_cast<float>(voice.sweepDirection);
    return {baseRate + slide - envelopePull, baseRate + slide + detune - envelopePull};
}
