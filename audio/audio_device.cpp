#include "audio/audio_device.h"

#include "audio/audio_file_loading.h"
#include "audio/mixing_period.h"
#include "audio/sample_frames.h"
#include "base/settings_file.h"
#include "host/console.h"

#define AL_ALEXT_PROTOTYPES
#include <al.h>
#include <alc.h>
#include <alext.h>
#include <efx.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

gxtkAudio* currentAudio = nullptr;

// The pending list of the process's device; samples made without a device
// queue there too.
const std::shared_ptr<BufferList>& processPendingList()
{
    static const std::shared_ptr<BufferList> list = std::make_shared<BufferList>();
    return list;
}

void queueForDeletion(unsigned& buffer, BufferList& list)
{
    if (buffer == 0) return;
    list.push_back(buffer);
    buffer = 0;
}

// The OpenAL layout of PCM data; 0 for layouts OpenAL cannot take, which
// leaves the buffer empty and the sample silent.
ALenum formatOf(int bytesPerSample, int channels)
{
    struct Layout {
        int bytesPerSample;
        int channels;
        ALenum format;
    };
    static constexpr Layout layouts[] = {
        {1, 1, AL_FORMAT_MONO8},
        {1, 2, AL_FORMAT_STEREO8},
        {2, 1, AL_FORMAT_MONO16},
        {2, 2, AL_FORMAT_STEREO16},
    };
    static_assert(sizeof layouts / sizeof layouts[0] == 4);
    for (const Layout& layout : layouts)
        if (layout.bytesPerSample == bytesPerSample && layout.channels == channels) return layout.format;
    return 0;
}

// A device that writes a file (a recording of the session) keeps running: its
// file keeps the session's timeline, and OpenAL Soft's file writer starts
// writing over its header again after a pause.
bool deviceCanRest(ALCdevice* device)
{
    if (!alcIsExtensionPresent(device, "ALC_SOFT_pause_device")) return false;
    const ALCchar* name = alcGetString(device, ALC_ALL_DEVICES_SPECIFIER);
    return !(name && std::string_view(name) == "Wave File Writer");
}

// The device clock's query, or null when the device keeps no clock.
LPALCGETINTEGER64VSOFT deviceClockQuery(ALCdevice* device)
{
    if (!device || !alcIsExtensionPresent(device, "ALC_SOFT_device_clock")) return nullptr;
    return reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
}

// What the device says lies between a mixed frame and the speaker: the
// periods queued and the sound card's own delay. 0 where it cannot say.
double reportedLatency(ALCdevice* device)
{
    auto get = deviceClockQuery(device);
    ALCint64SOFT nanoseconds = 0;
    if (get) get(device, ALC_DEVICE_LATENCY_SOFT, 1, &nanoseconds);
    return static_cast<double>(nanoseconds) / 1e9;
}

ALint sourceState(unsigned source)
{
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

} // namespace

// ---- Samples ----

gxtkSample::gxtkSample(unsigned buffer) : buffer(buffer), pendingList_(processPendingList()) {}

gxtkSample::~gxtkSample() { queueForDeletion(buffer, *pendingList_); }

void gxtkSample::discardSample() { queueForDeletion(buffer, *pendingList_); }

const BufferList& pendingBuffers() { return *processPendingList(); }

// ---- Construction ----

gxtkAudio::gxtkAudio() : pending_(processPendingList())
{
    currentAudio = this;
    openDefaultDevice();
    setUpChannels();
}

gxtkAudio::gxtkAudio(AdoptCurrentContext) : pending_(processPendingList())
{
    currentAudio = this;
    ALCcontext* context = alcGetCurrentContext();
    alContext_ = context;
    alDevice_ = context ? alcGetContextsDevice(context) : nullptr;
    setUpChannels();
}

gxtkAudio::gxtkAudio(OwnContext own)
    : alDevice_(own.device), alContext_(own.context), processDevice_(false), pending_(std::make_shared<BufferList>())
{
    setUpChannels();
}

// The program keeps its device to the end; only a test that adopted a
// context lets one go, and then the names it handed out mean nothing to the
// next device. A device of the caller's own cleans up after itself, so that
// its context and device close without leftovers.
gxtkAudio::~gxtkAudio()
{
    for (Channel& channel : channels_) channel.sample.reset();
    if (!processDevice_) {
        deleteSources();
        releasePendingBuffers();
    }
    pending_->clear();
    if (currentAudio == this) currentAudio = nullptr;
}

void gxtkAudio::deleteSources()
{
    for (Channel& channel : channels_) {
        if (channel.source == 0) continue;
        ALuint source = channel.source;
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        alDeleteSources(1, &source);
        channel.source = 0;
        channel.state = 0;
    }
}

gxtkAudio* gxtkAudio::audio() { return currentAudio; }

void gxtkAudio::openDefaultDevice()
{
    MixingPeriodConfig periodConfig(mixingPeriodOf(readSetting(settingsFilePath(), "audio_period")));
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) device = alcOpenDevice("Generic Hardware");
    if (!device) device = alcOpenDevice("Generic Software");
    alDevice_ = device;
    if (!device) {
        printLine(U"OpenAl error: alcOpenDevice failed");
        return;
    }
    // The mixer keeps state for effect sends on each of its voices; the
    // channels use no effects.
    static constexpr ALCint attributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    alContext_ = context;
    if (!context)
        printLine(U"OpenAl error: alcCreateContext failed");
    else if (!alcMakeContextCurrent(context))
        printLine(U"OpenAl error: alcMakeContextCurrent failed");
    else
        canRest_ = deviceCanRest(device);
    // Read while the device runs: a resting one has nothing queued.
    if (context) outputLatency_ = reportedLatency(device);
}

// The clock counts whole seconds and the frames of the second begun,
// rounded down to the nanosecond: rounding back gives the frame exactly.
long long gxtkAudio::mixedFrames() const
{
    std::optional<int64_t> nanoseconds = mixedTime();
    ALCint frequency = 0;
    if (nanoseconds) alcGetIntegerv(static_cast<ALCdevice*>(alDevice_), ALC_FREQUENCY, 1, &frequency);
    if (frequency <= 0) return -1;
    constexpr long long second = 1000000000;
    return *nanoseconds / second * frequency + (*nanoseconds % second * frequency + second / 2) / second;
}

// ---- Resting the device ----

// With no source playing the mixer would still wake up and mix silence many
// times a second; a device of the process's own rests until a source plays,
// at once or after the steps of silence setRestDelay asked for.
void gxtkAudio::restWhenSilent()
{
    if (!canRest_ || deviceResting_ || anySourcePlaying()) return;
    if (silentStepsBeforeRest_ > 0)
        restPending_ = true;
    else
        rest();
}

bool gxtkAudio::anySourcePlaying() const
{
    for (const Channel& record : channels_)
        if (record.state == 1 && sourceState(record.source) == AL_PLAYING) return true;
    return false;
}

void gxtkAudio::rest()
{
    alcDevicePauseSOFT(static_cast<ALCdevice*>(alDevice_));
    deviceResting_ = true;
    restPending_ = false;
}

void gxtkAudio::countSilentStep()
{
    if (!restPending_ || ++silentSteps_ < silentStepsBeforeRest_) return;
    silentSteps_ = 0;
    restPending_ = false;
    if (!deviceResting_ && !anySourcePlaying()) rest();
}

void gxtkAudio::wakeDevice()
{
    restPending_ = false;
    silentSteps_ = 0;
    if (!deviceResting_) return;
    alcDeviceResumeSOFT(static_cast<ALCdevice*>(alDevice_));
    deviceResting_ = false;
}

void gxtkAudio::setUpChannels()
{
    alDistanceModel(AL_NONE);
    acquireSource(musicChannel);
    restWhenSilent();
}

// ---- Sources ----

unsigned gxtkAudio::acquireSource(int channel)
{
    Channel& record = channels_[channel];
    if (record.source != 0) return record.source;
    // A new or stolen source carries its own gain: no silence of ours on it yet.
    record.stoppedByRate = false;
    record.sentGain = record.sentPitch = std::numeric_limits<float>::quiet_NaN();
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    record.source = alGetError() == AL_NO_ERROR ? source : stealSource();
    return record.source;
}

// Takes the source of the first stopped sound channel; paused channels and
// the music channel keep theirs.
unsigned gxtkAudio::stealSource()
{
    for (int channel = 0; channel < musicChannel; ++channel) {
        Channel& victim = channels_[channel];
        if (victim.source == 0 || channelStatus(channel) != 0) continue;
        unsigned source = victim.source;
        victim.source = 0;
        return source;
    }
    return 0;
}

bool gxtkAudio::sourceStopped(int channel) const
{
    return sourceState(channels_[channel].source) == AL_STOPPED;
}

// ---- Buffer release ----

void gxtkAudio::detachStoppedBuffers()
{
    for (int channel = 0; channel < channelCount; ++channel)
        if (channels_[channel].state != 0 && sourceStopped(channel))
            alSourcei(channels_[channel].source, AL_BUFFER, 0);
}

// Buffers still attached to a source refuse deletion and wait for a later try.
void gxtkAudio::releasePendingBuffers()
{
    BufferList& list = *pending_;
    if (list.empty()) return;
    detachStoppedBuffers();
    size_t kept = 0;
    for (unsigned buffer : list) {
        ALuint name = buffer;
        alGetError();
        alDeleteBuffers(1, &name);
        if (alGetError() != AL_NO_ERROR) list[kept++] = buffer;
    }
    list.resize(kept);
}

// ---- Samples ----

std::shared_ptr<gxtkSample> gxtkAudio::createSample(const String& path)
{
    releasePendingBuffers();
    auto sample = std::make_shared<gxtkSample>();
    return fillSample(*sample, path) ? sample : nullptr;
}

bool gxtkAudio::fillSample(gxtkSample& sample, const String& path)
{
    std::optional<AudioSamples> samples = loadAudioSamples(path);
    if (!samples) return false;
    fillSample(sample, *samples);
    return true;
}

// Sounds made in memory (the song's own waves) take the same road as files.
std::shared_ptr<gxtkSample> gxtkAudio::createSample(const AudioSamples& samples)
{
    releasePendingBuffers();
    auto sample = std::make_shared<gxtkSample>();
    fillSample(*sample, samples);
    return sample;
}

void gxtkAudio::fillSample(gxtkSample& sample, const AudioSamples& samples)
{
    // Whole frames only: a trailing partial frame is not handed over.
    size_t bytes = static_cast<size_t>(samples.bytesPerSample) * static_cast<size_t>(samples.channels) *
                   static_cast<size_t>(samples.length);
    ALenum format = formatOf(samples.bytesPerSample, samples.channels);
    if (bytes > samples.data.size() || bytes > static_cast<size_t>(INT32_MAX)) format = 0;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, samples.data.data(), static_cast<ALsizei>(bytes), samples.rate);
    queueForDeletion(sample.buffer, *sample.pendingList_);
    sample.buffer = buffer;
    sample.pendingList_ = pending_;
    sample.frames = monoFrames(samples);
    sample.rate = samples.rate;
}

// ---- Channels ----

int gxtkAudio::startSample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags)
{
    releasePendingBuffers();
    unsigned source = acquireSource(channel);
    if (source == 0 || !sample) return -1;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer));
    alSourcei(source, AL_LOOPING, flags != 0 ? AL_TRUE : AL_FALSE);
    wakeDevice();
    alSourcePlay(source);
    Channel& record = channels_[channel];
    record.sample = sample;
    record.flags = flags;
    record.state = 1;
    return 0;
}

ChannelWave gxtkAudio::channelWave(int channel) const
{
    ChannelWave wave;
    const Channel& record = channels_[channel];
    if (record.state != 1 || record.stoppedByRate || !record.sample || record.sample->frames.empty()) return wave;
    ALint offset = 0;
    alGetSourcei(record.source, AL_SAMPLE_OFFSET, &offset);
    wave.frames = &record.sample->frames;
    wave.rate = record.sample->rate;
    wave.offset = offset;
    wave.pitch = std::isnan(record.sentPitch) ? 1.0f : record.sentPitch;
    wave.gain = record.gain;
    return wave;
}

void gxtkAudio::haltChannel(int channel)
{
    Channel& record = channels_[channel];
    if (record.state == 0) return;
    alSourceStop(record.source);
    record.state = 0;
    restWhenSilent();
}

void gxtkAudio::holdChannel(int channel)
{
    Channel& record = channels_[channel];
    if (record.state != 1) return;
    if (sourceStopped(channel)) {
        record.state = 0;
        return;
    }
    alSourcePause(record.source);
    record.state = 2;
    restWhenSilent();
}

void gxtkAudio::continueChannel(int channel)
{
    Channel& record = channels_[channel];
    if (record.state != 2) return;
    wakeDevice();
    alSourcePlay(record.source);
    record.state = 1;
}

int gxtkAudio::channelStatus(int channel)
{
    Channel& record = channels_[channel];
    if (record.state == 1 && sourceStopped(channel)) {
        record.state = 0;
        restWhenSilent();
    }
    return record.state;
}

void gxtkAudio::setChannelGain(int channel, float gain)
{
    acquireSource(channel);
    Channel& record = channels_[channel];
    record.gain = gain;
    if (!record.stoppedByRate) sendGain(record, gain);
}

void gxtkAudio::sendGain(Channel& record, float gain)
{
    if (gain == record.sentGain) return;
    alSourcef(record.source, AL_GAIN, gain);
    record.sentGain = gain;
}

void gxtkAudio::sendPitch(Channel& record, float pitch)
{
    if (pitch == record.sentPitch) return;
    alSourcef(record.source, AL_PITCH, pitch);
    record.sentPitch = pitch;
}

void gxtkAudio::setChannelAngle(int channel, float angle)
{
    unsigned source = acquireSource(channel);
    alSource3f(source, AL_POSITION, std::sin(angle), 0.0f, -std::cos(angle));
}

// OpenAL refuses negative factors and freezes the output on one value at 0;
// a voice slid down to no rate at all is meant to be silent instead.
void gxtkAudio::setChannelPitch(int channel, float factor)
{
    acquireSource(channel);
    Channel& record = channels_[channel];
    bool silent = !(factor > 0.0f);
    if (silent != record.stoppedByRate) sendGain(record, silent ? 0.0f : record.gain);
    record.stoppedByRate = silent;
    if (!silent) sendPitch(record, factor);
}

// ---- The device clock ----

// Clock and latency come from one query, so that they belong together.
std::optional<DeviceClock> gxtkAudio::deviceClock() const
{
    auto device = static_cast<ALCdevice*>(alDevice_);
    auto get = deviceClockQuery(device);
    if (!get) return std::nullopt;
    ALCint64SOFT values[2] = {0, 0};
    get(device, ALC_DEVICE_CLOCK_LATENCY_SOFT, 2, values);
    return DeviceClock {values[0], values[1]};
}

std::optional<int64_t> gxtkAudio::mixedTime() const
{
    auto device = static_cast<ALCdevice*>(alDevice_);
    auto get = deviceClockQuery(device);
    if (!get) return std::nullopt;
    ALCint64SOFT nanoseconds = 0;
    get(device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
    return nanoseconds;
}

// ---- Pause and resume of everything ----

void gxtkAudio::pauseAllChannels()
{
    for (Channel& record : channels_)
        if (record.state == 1 && sourceState(record.source) == AL_PLAYING) alSourcePause(record.source);
    restWhenSilent();
}

void gxtkAudio::resumeAllChannels()
{
    for (Channel& record : channels_) {
        if (record.state != 1 || sourceState(record.source) != AL_PAUSED) continue;
        wakeDevice();
        alSourcePlay(record.source);
    }
}

// ---- The music channel ----

int gxtkAudio::startMusic(const String& path, int flags)
{
    haltMusic();
    std::shared_ptr<gxtkSample> sample = createSample(path);
    if (!sample) return -1;
    startSample(sample, musicChannel, flags);
    return 0;
}

void gxtkAudio::haltMusic() { haltChannel(musicChannel); }
void gxtkAudio::holdMusic() { holdChannel(musicChannel); }
void gxtkAudio::continueMusic() { continueChannel(musicChannel); }
int gxtkAudio::musicStatus() { return channelStatus(musicChannel); }
void gxtkAudio::setMusicGain(float gain) { setChannelGain(musicChannel, gain); }
