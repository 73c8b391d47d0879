#include "player/voice_trigger.h"

#include "audio/sound.h"
#include "song/song_model.h"

namespace {

constexpr int loopFlag = 1;
static_assert(secondaryChannelOffset == channelCount, "one secondary oscillator per tracker channel");

void haltVoice(gxtkAudio* device, int channel)
{
    haltChannel(device, channel);
    haltChannel(device, channel + secondaryChannelOffset);
}

} // namespace

void triggerVoice(gxtkAudio* device, int channel, int octave, int noteValue, bool mayStart,
                  const std::shared_ptr<c_Sound>& primary, const std::shared_ptr<c_Sound>& secondary)
{
    int pitch = notePitch(octave, noteValue);
    if (pitch == notePitch(octave, noteOff)) {
        haltVoice(device, channel);
    } else if (pitch <= highestPlayablePitch && mayStart) {
        haltVoice(device, channel);
        playSoundOn(device, primary, channel, loopFlag);
        playSoundOn(device, secondary, channel + secondaryChannelOffset, loopFlag);
    }
}
