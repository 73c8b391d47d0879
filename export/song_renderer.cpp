#include "export/song_renderer.h"

#include "export/export_settings.h"
#include "song/waveform_table.h"

std::unique_ptr<SongRenderer> SongRenderer::open(const Song& song, int rate, int soloChannel, std::string& reason)
{
    std::unique_ptr<LoopbackDevice> device = LoopbackDevice::open(rate, reason);
    if (!device) return nullptr;
    std::unique_ptr<SongRenderer> renderer(new SongRenderer(std::move(device), song, rate, soloChannel));
    for (size_t i = 0; i < waveformCount; ++i) {
        if (renderer->player_.waveforms()[i]) continue;
        reason = std::string("cannot load the waveform data/") + waveformFiles[i];
        return nullptr;
    }
    return renderer;
}

// The other channels are muted the way the tracker's switches mute them:
// from the start, so they never sound.
SongRenderer::SongRenderer(std::unique_ptr<LoopbackDevice> device, const Song& song, int rate, int soloChannel)
    : device_(std::move(device)), player_(&device_->audio()), framesPerTick_(::framesPerTick(rate))
{
    std::array<float, channelCount> levels {};
    for (int channel = 0; channel < channelCount; ++channel)
        levels[channel] = soloChannel == allChannels || channel + 1 == soloChannel ? 1.0f : 0.0f;
    player_.useChannelLevels(levels);
    player_.play(song);
}

void SongRenderer::renderTick(std::vector<float>& frames, bool voicesOnly)
{
    if (voicesOnly)
        player_.tickVoices();
    else
        player_.tickPlayer();
    frames.resize(static_cast<size_t>(framesPerTick_) * 2);
    device_->render(frames.data(), framesPerTick_);
}
