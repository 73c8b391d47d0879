#include "song/wave_file_import.h"

#include "song/wave_shapes.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace {

// libsndfile reads the bytes in memory through these.
struct MemoryFile {
    const std::string& bytes;
    sf_count_t at = 0;
};

sf_count_t memoryLength(void* user) { return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size()); }

sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    sf_count_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? memoryLength(user) : 0;
    sf_count_t to = base + offset;
    if (to < 0 || to > memoryLength(user)) return -1;
    file->at = to;
    return to;
}

sf_count_t memoryRead(void* into, sf_count_t count, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    sf_count_t left = memoryLength(user) - file->at;
    sf_count_t taken = std::clamp<sf_count_t>(count, 0, left);
    std::memcpy(into, file->bytes.data() + file->at, static_cast<size_t>(taken));
    file->at += taken;
    return taken;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t memoryTell(void* user) { return static_cast<MemoryFile*>(user)->at; }

bool isWav(const SF_INFO& info)
{
    int type = info.format & SF_FORMAT_TYPEMASK;
    return type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64;
}

// The frames mixed to mono; a value that is not a number counts as silence.
std::vector<double> monoCycle(SNDFILE* file, const SF_INFO& info)
{
    std::vector<double> interleaved(static_cast<size_t>(info.frames * info.channels));
    sf_count_t read = sf_readf_double(file, interleaved.data(), info.frames);
    std::vector<double> cycle(static_cast<size_t>(std::max<sf_count_t>(read, 0)));
    for (size_t frame = 0; frame < cycle.size(); ++frame) {
        double sum = 0;
        for (int channel = 0; channel < info.channels; ++channel) {
            double value = interleaved[frame * static_cast<size_t>(info.channels) + static_cast<size_t>(channel)];
            sum += std::isfinite(value) ? value : 0;
        }
        cycle[frame] = sum / info.channels;
    }
    return cycle;
}

} // namespace

WaveImport importWaveBytes(const std::string& bytes)
{
    if (bytes.size() > waveFileSizeLimit) return {std::nullopt, waveTooLarge};
    SF_VIRTUAL_IO io {memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    MemoryFile memory {bytes};
    SF_INFO info {};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open_virtual(&io, SFM_READ, &info, &memory), sf_close);
    if (!file || !isWav(info) || info.channels < 1 || info.channels > 64) return {std::nullopt, waveNotWav};
    if (info.frames < shortestCycleFrames || info.frames > longestCycleFrames) return {std::nullopt, waveBadLength};
    std::vector<double> cycle = monoCycle(file.get(), info);
    // A file that says more frames than it holds is as short as it is.
    if (static_cast<long>(cycle.size()) < shortestCycleFrames) return {std::nullopt, waveBadLength};
    return {ownWaveOfCycle(cycle), nullptr};
}

WaveImport importWaveFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, waveNotFound};
    std::string bytes;
    std::vector<char> chunk(64 * 1024);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<size_t>(in.gcount()));
        if (bytes.size() > waveFileSizeLimit) return {std::nullopt, waveTooLarge};
    }
    // A folder opens but reads nothing.
    if (in.bad()) return {std::nullopt, waveNotReadable};
    return importWaveBytes(bytes);
}
