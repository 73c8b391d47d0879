// Builds the audio device the way the framework does, loads the sample file
// named on the command line and runs every channel operation once, then
// says how that went, and when the device rested.
#include "audio/audio_device.h"
#include "audio/sound.h"
#include "host/console.h"
#include "host/glfw_game.h"

namespace {

void reportRest(const gxtkAudio& audio, const char32_t* moment)
{
    printLine(String(moment) + (audio.deviceResting() ? U": resting" : U": running"));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    BBQuorvaneGame game;
    gxtkAudio audio;
    std::shared_ptr<c_Sound> sound = loadSoundFile(widen(argv[1]));
    printLine(sound ? U"sound loaded" : U"no sound");
    printLine(audio.hasDevice() ? U"device" : U"no device");
    reportRest(audio, U"opened");

    playSoundOn(sound, 1, 1);
    reportRest(audio, U"started");
    setChannelGain(1, 0.5f);
    setChannelPitch(1, 2.0f);
    setChannelPitch(1, -1.0f);
    audio.setChannelAngle(1, 1.0f);
    audio.holdChannel(1);
    reportRest(audio, U"held");
    audio.continueChannel(1);
    reportRest(audio, U"continued");
    audio.pauseAllChannels();
    reportRest(audio, U"all paused");
    audio.resumeAllChannels();
    reportRest(audio, U"all resumed");
    printLine(U"status " + intText(audio.channelStatus(1)));
    haltChannel(1);
    reportRest(audio, U"halted");
    printLine(U"music " + intText(audio.startMusic(widen(argv[1]), 1)));
    audio.setMusicGain(0.5f);
    audio.holdMusic();
    audio.continueMusic();
    audio.haltMusic();
    sound->sample->discardSample();
    sound.reset();
    loadSoundFile(widen(argv[1]));
    printLine(U"done");
    return 0;
}
