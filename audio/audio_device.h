// The audio device: 33 numbered channels over OpenAL sources (0..31 sound
// channels, 32 the music channel) and samples uploaded into OpenAL buffers.
#pragma once

#include "audio/audio_decoders.h"
#include "base/text.h"

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

// A reading of OpenAL Soft's device clock: how much sound the device has
// mixed since it opened, and how long a frame mixed now takes to reach the
// speaker, both in nanoseconds.
struct DeviceClock {
    int64_t mixed = 0;
    int64_t latency = 0;
};

// Buffer names waiting to be deleted, oldest first. Buffer names belong to
// one OpenAL device, so every device keeps its own list.
using BufferList = std::vector<unsigned>;

struct AudioSamples;

// One decoded sound in an OpenAL buffer; the sample owns its buffer.
class gxtkSample {
public:
    explicit gxtkSample(unsigned buffer = 0);
    virtual ~gxtkSample();
    gxtkSample(const gxtkSample&) = delete;
    gxtkSample& operator=(const gxtkSample&) = delete;

    // Hands the buffer over for deletion once no source holds it.
    virtual void discardSample();

    unsigned buffer;
    // A copy of a short sound's frames (mono, -1 to 1) and their rate, for
    // drawing what a channel plays; empty for long sounds.
    std::vector<float> frames;
    int rate = 0;

private:
    friend class gxtkAudio;
    // The list of the device that made the buffer (the process's by default).
    std::shared_ptr<BufferList> pendingList_;
};

// What a channel plays at this moment, as its source was last told: the
// looped sound's frames, where in them the source is, how fast it moves
// through them and how loud. A channel that is silent has a gain of 0.
struct ChannelWave {
    const std::vector<float>* frames = nullptr;
    int rate = 0;
    double offset = 0;  // frames into the sound
    float pitch = 1;
    float gain = 0;
};

// Buffers of discarded samples of the process's device still waiting to be
// deleted, oldest first.
const BufferList& pendingBuffers();

class gxtkAudio {
public:
    static constexpr int channelCount = 33;
    static constexpr int musicChannel = 32;

    // Opens the default device (printing one line when there is none).
    gxtkAudio();
    // Drives a device and context that the caller made and keeps (an
    // offline mix, say): the context must be current on the calling thread
    // for every call, construction and destruction included. Such a device
    // is not the process's one, and it deletes its sources and buffers when
    // it goes.
    struct OwnContext {
        void* device;
        void* context;
    };
    explicit gxtkAudio(OwnContext own);
    virtual ~gxtkAudio();
    gxtkAudio(const gxtkAudio&) = delete;
    gxtkAudio& operator=(const gxtkAudio&) = delete;

    // The process's audio device, or null before one exists.
    static gxtkAudio* audio();

    virtual void pauseAllChannels();
    virtual void resumeAllChannels();
    virtual std::shared_ptr<gxtkSample> createSample(const String& path);
    virtual bool fillSample(gxtkSample& sample, const String& path);
    // A sample of PCM made in memory.
    std::shared_ptr<gxtkSample> createSample(const AudioSamples& samples);
    void fillSample(gxtkSample& sample, const AudioSamples& samples);
    virtual int startSample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags);
    virtual void haltChannel(int channel);
    virtual void holdChannel(int channel);
    virtual void continueChannel(int channel);
    virtual int channelStatus(int channel);
    virtual void setChannelGain(int channel, float gain);
    virtual void setChannelAngle(int channel, float angle);
    // A factor of 0 or below (or NaN) silences the channel until a positive
    // factor comes: the oscillator has slid to a standstill.
    virtual void setChannelPitch(int channel, float factor);
    virtual int startMusic(const String& path, int flags);
    virtual void haltMusic();
    virtual void holdMusic();
    virtual void continueMusic();
    virtual int musicStatus();
    virtual void setMusicGain(float gain);

    // The OpenAL source name of a channel (0 when it has none yet), so that
    // tests can read back what the source really got.
    unsigned sourceOf(int channel) const { return channels_[channel].source; }
    // What the channel sounds now (nothing for a channel that is stopped,
    // paused or held silent by its rate).
    ChannelWave channelWave(int channel) const;
    bool hasDevice() const { return alDevice_ != nullptr; }
    // Seconds from a mixed frame to the speaker as the device reported it
    // when it opened (OpenAL Soft's device clock); 0 when unknown.
    double outputLatency() const { return outputLatency_; }
    // The device clock now, with the latency of this moment; nothing when
    // there is no device or it keeps no clock (ALC_SOFT_device_clock).
    std::optional<DeviceClock> deviceClock() const;
    // Only the mixed time, without asking the backend for its latency. The
    // clock stands while the device rests.
    std::optional<int64_t> mixedTime() const;
    // Frames the device has mixed since it opened (OpenAL Soft's device
    // clock), so that a change can be placed in what was played; -1 where
    // the device cannot say.
    long long mixedFrames() const;
    // True while the process's device is paused because no source plays.
    bool deviceResting() const { return deviceResting_; }
    // Waking a device takes time (on JACK a great deal of it): an instrument
    // that is played keeps its device awake until this many update steps
    // (countSilentStep calls) have passed without sound. 0: it rests at once.
    void setRestDelay(int steps) { silentStepsBeforeRest_ = steps; }
    void countSilentStep();

protected:
    struct AdoptCurrentContext {};
    // Uses the OpenAL context that is current already (a loopback device in
    // tests) instead of opening one.
    explicit gxtkAudio(AdoptCurrentContext);

private:
    struct Channel {
        unsigned source = 0;
        std::shared_ptr<gxtkSample> sample;
        int flags = 0;
        int state = 0;  // 0 stopped, 1 playing, 2 paused
        float gain = 1.0f;            // the gain last asked for
        bool stoppedByRate = false;   // held silent by a non-positive pitch factor
        // What the source was last given: the same value again is not sent,
        // since every change makes the mixer recompute the source. NaN: unknown.
        float sentGain = std::numeric_limits<float>::quiet_NaN();
        float sentPitch = std::numeric_limits<float>::quiet_NaN();
    };
    void openDefaultDevice();
    void restWhenSilent();
    bool anySourcePlaying() const;
    void rest();
    void wakeDevice();
    void setUpChannels();
    unsigned acquireSource(int channel);
    void sendGain(Channel& record, float gain);
    void sendPitch(Channel& record, float pitch);
    unsigned stealSource();
    bool sourceStopped(int channel) const;
    void releasePendingBuffers();
    void detachStoppedBuffers();
    void deleteSources();

    void* alDevice_ = nullptr;
    void* alContext_ = nullptr;
    bool processDevice_ = true;
    bool canRest_ = false;  // a device this object opened, which can pause
    bool deviceResting_ = false;
    int silentStepsBeforeRest_ = 0;
    int silentSteps_ = 0;
    bool restPending_ = false;
    double outputLatency_ = 0;
    std::shared_ptr<BufferList> pending_;
    std::array<Channel, channelCount> channels_ {};
};
