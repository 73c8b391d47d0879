// Builds the audio device the way the framework does, loads the sample file
// named on the command line and runs every channel operation once, then
// says how that went, and when the device rested. With "period" after the
// file it says instead how long the device's mixing periods are and whether
// ALSOFT_CONF is still set once it is open; with "linger", when a device
// asked to stay awake for three silent steps rests; with "clock", whether the
// device keeps a clock and whether it moves on while a sound plays.
#include "audio/audio_device.h"
#include "audio/sound.h"
#include "host/console.h"
#include "host/glfw_game.h"

#include <alc.h>

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace {

// OpenAL Soft reports its period as a refresh rate: frequency / period.
int reportPeriod(const gxtkAudio& audio)
{
    ALCdevice* device = alcGetContextsDevice(alcGetCurrentContext());
    ALCint frequency = 0, refresh = 0;
    if (device) {
        alcGetIntegerv(device, ALC_FREQUENCY, 1, &frequency);
        alcGetIntegerv(device, ALC_REFRESH, 1, &refresh);
    }
    printLine(U"frequency " + intText(frequency) + U" refresh " + intText(refresh));
    printLine(std::getenv("ALSOFT_CONF") ? U"ALSOFT_CONF set" : U"ALSOFT_CONF unset");
    printLine(audio.outputLatency() > 0 ? U"latency known" : U"latency unknown");
    return 0;
}

void reportRest(const gxtkAudio& audio, const char32_t* moment)
{
    printLine(String(moment) + (audio.deviceResting() ? U": resting" : U": running"));
}

int reportLinger(gxtkAudio& audio, const std::shared_ptr<c_Sound>& sound)
{
    audio.setRestDelay(3);
    playSoundOn(sound, 1, 1);
    haltChannel(1);
    reportRest(audio, U"halted");
    audio.countSilentStep();
    audio.countSilentStep();
    reportRest(audio, U"two steps");
    playSoundOn(sound, 1, 1);
    audio.countSilentStep();
    audio.countSilentStep();
    audio.countSilentStep();
    reportRest(audio, U"three steps playing");
    haltChannel(1);
    for (int step = 0; step < 3; ++step) audio.countSilentStep();
    reportRest(audio, U"three silent steps");
    return 0;
}

// Polls the clock until it moves, for at most 30 s of a busy machine.
int reportClock(gxtkAudio& audio, const std::shared_ptr<c_Sound>& sound)
{
    playSoundOn(sound, 1, 1);
    std::optional<DeviceClock> first = audio.deviceClock();
    if (!first) {
        printLine(U"no clock");
        return 0;
    }
    printLine(first->latency >= 0 ? U"clock, latency known" : U"clock, latency negative");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool moved = false;
    while (!moved && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        moved = audio.mixedTime().value_or(0) > first->mixed;
    }
    printLine(moved ? U"clock moves" : U"clock stands");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    BBQuorvaneGame game;
    gxtkAudio audio;
    if (argc > 2 && std::string_view(argv[2]) == "period") return reportPeriod(audio);
    std::shared_ptr<c_Sound> sound = loadSoundFile(widen(argv[1]));
    if (argc > 2 && std::string_view(argv[2]) == "linger") return reportLinger(audio, sound);
    if (argc > 2 && std::string_view(argv[2]) == "clock") return reportClock(audio, sound);
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
