#include "tests/support/loopback_audio.h"

#include <al.h>
#include <alc.h>
#include <alext.h>

namespace {

// The adopt seam of the device is protected: only a device built for a
// context made current elsewhere uses it.
class AdoptedAudio : public gxtkAudio {
public:
    AdoptedAudio() : gxtkAudio(AdoptCurrentContext {}) {}
};

template <typename Function>
Function extension(const char* name)
{
    return reinterpret_cast<Function>(alcGetProcAddress(nullptr, name));
}

} // namespace

LoopbackAudio::LoopbackAudio()
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return;
    auto openLoopback = extension<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
    ALCdevice* device = openLoopback(nullptr);
    if (!device) return;
    device_ = device;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_MONO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY, sampleRate, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) return;
    context_ = context;
    audio_ = std::make_unique<AdoptedAudio>();
}

LoopbackAudio::~LoopbackAudio()
{
    audio_.reset();
    alcMakeContextCurrent(nullptr);
    if (context_) alcDestroyContext(static_cast<ALCcontext*>(context_));
    if (device_) alcCloseDevice(static_cast<ALCdevice*>(device_));
}

std::vector<float> LoopbackAudio::render(int frames)
{
    std::vector<float> mix(static_cast<size_t>(frames));
    if (!ok() || frames <= 0) return mix;
    auto renderSamples = extension<LPALCRENDERSAMPLESSOFT>("alcRenderSamplesSOFT");
    renderSamples(static_cast<ALCdevice*>(device_), mix.data(), frames);
    return mix;
}

std::vector<float> LoopbackAudio::renderSeconds(double seconds)
{
    return render(static_cast<int>(seconds * sampleRate + 0.5));
}

float LoopbackAudio::sourceFloat(int channel, int parameter)
{
    ALfloat value = -12345.0f;
    alGetSourcef(audio_->sourceOf(channel), parameter, &value);
    return value;
}

int LoopbackAudio::sourceInt(int channel, int parameter)
{
    ALint value = -12345;
    alGetSourcei(audio_->sourceOf(channel), parameter, &value);
    return value;
}

bool LoopbackAudio::bufferExists(unsigned buffer) { return alIsBuffer(buffer) == AL_TRUE; }
