// STUB: to be completed.
#include "audio/audio_device.h"

namespace {
gxtkAudio* currentAudio = nullptr;
}

gxtkSample::~gxtkSample() {}
void gxtkSample::discardSample() {}
gxtkAudio::gxtkAudio() { currentAudio = this; }
gxtkAudio::gxtkAudio(AdoptCurrentContext) { currentAudio = this; }
gxtkAudio* gxtkAudio::audio() { return currentAudio; }
void gxtkAudio::pauseAllChannels() {}
void gxtkAudio::resumeAllChannels() {}
std::shared_ptr<gxtkSample> gxtkAudio::createSample(const String&) { return nullptr; }
bool gxtkAudio::fillSample(gxtkSample&, const String&) { return false; }
int gxtkAudio::startSample(const std::shared_ptr<gxtkSample>&, int, int) { return -1; }
void gxtkAudio::haltChannel(int) {}
void gxtkAudio::holdChannel(int) {}
void gxtkAudio::continueChannel(int) {}
int gxtkAudio::channelStatus(int) { return 0; }
void gxtkAudio::setChannelGain(int, float) {}
void gxtkAudio::setChannelAngle(int, float) {}
void gxtkAudio::setChannelPitch(int, float) {}
int gxtkAudio::startMusic(const String&, int) { return -1; }
void gxtkAudio::haltMusic() {}
void gxtkAudio::holdMusic() {}
void gxtkAudio::continueMusic() {}
int gxtkAudio::musicStatus() { return 0; }
void gxtkAudio::setMusicGain(float) {}
