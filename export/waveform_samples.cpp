#include "export/waveform_samples.h"

#include "audio/audio_file_loading.h"
#include "base/data_paths.h"

std::optional<Waveforms> loadWaveforms(std::string& reason)
{
    Waveforms waves;
    for (size_t i = 0; i < waveformFiles.size(); ++i) {
        std::optional<AudioSamples> samples = loadAudioSamples(fixDataPath(widen(waveformFiles[i])));
        if (!samples || samples->channels != 1 || samples->bytesPerSample != 2 || samples->length <= 0) {
            reason = "cannot load the waveform data/" + std::string(waveformFiles[i]);
            return std::nullopt;
        }
        WaveformSamples& wave = waves[i];
        wave.rate = samples->rate;
        wave.frames.resize(static_cast<size_t>(samples->length));
        for (size_t frame = 0; frame < wave.frames.size(); ++frame)
            wave.frames[frame] = static_cast<int16_t>(samples->data[2 * frame] | samples->data[2 * frame + 1] << 8);
    }
    return waves;
}
