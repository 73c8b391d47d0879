#include "audio/loopback_device.h"

#include <al.h>
#include <alc.h>
#include <alext.h>

namespace {

// ALC_EXT_thread_local_context: a context for one thread only.
typedef ALCboolean(ALC_APIENTRY* SetThreadContext)(ALCcontext* context);

template <typename Function>
Function extension(ALCdevice* device, const char* name)
{
    return reinterpret_cast<Function>(alcGetProcAddress(device, name));
}

bool setThreadContext(void* context)
{
    auto set = extension<SetThreadContext>(nullptr, "alcSetThreadContext");
    return set && set(static_cast<ALCcontext*>(context));
}

ALCdevice* openLoopbackDevice(int rate, std::string& reason)
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") ||
        !alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")) {
        reason = "this OpenAL has no loopback device (ALC_SOFT_loopback)";
        return nullptr;
    }
    ALCdevice* device = extension<LPALCLOOPBACKOPENDEVICESOFT>(nullptr, "alcLoopbackOpenDeviceSOFT")(nullptr);
    auto supported = extension<LPALCISRENDERFORMATSUPPORTEDSOFT>(device, "alcIsRenderFormatSupportedSOFT");
    if (device && supported(device, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) return device;
    if (device) alcCloseDevice(device);
    reason = "the OpenAL loopback device cannot mix stereo at " + std::to_string(rate) + " Hz";
    return nullptr;
}

} // namespace

std::unique_ptr<LoopbackDevice> LoopbackDevice::open(int rate, std::string& reason)
{
    ALCdevice* device = openLoopbackDevice(rate, reason);
    if (!device) return nullptr;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY, rate, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context) {
        alcCloseDevice(device);
        reason = "the OpenAL loopback device gives no context";
        return nullptr;
    }
    return std::unique_ptr<LoopbackDevice>(new LoopbackDevice(device, context));
}

LoopbackDevice::LoopbackDevice(void* device, void* context)
    : device_(device),
      context_(context),
      renderSamples_(reinterpret_cast<void*>(
          extension<LPALCRENDERSAMPLESSOFT>(static_cast<ALCdevice*>(device), "alcRenderSamplesSOFT")))
{
    makeCurrent();
    audio_ = std::make_unique<gxtkAudio>(gxtkAudio::OwnContext {device, context});
}

LoopbackDevice::~LoopbackDevice()
{
    makeCurrent();
    audio_.reset();
    setThreadContext(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context_));
    alcCloseDevice(static_cast<ALCdevice*>(device_));
}

void LoopbackDevice::makeCurrent() { setThreadContext(context_); }

void LoopbackDevice::render(float* frames, int frameCount)
{
    auto renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(renderSamples_);
    renderSamples(static_cast<ALCdevice*>(device_), frames, frameCount);
}
