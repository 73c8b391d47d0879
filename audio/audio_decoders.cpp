#include "audio/audio_decoders.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include <cstdint>
#include <cstring>

namespace {

// Little-endian reads from a file; each fails on a short read.
class FileReader {
public:
    explicit FileReader(std::FILE* file) : file_(file) {}

    bool tag(char (&out)[5])
    {
        out[4] = '\0';
        return std::fread(out, 1, 4, file_) == 4;
    }
    bool u16(uint32_t& out) { return number(out, 2); }
    bool u32(uint32_t& out) { return number(out, 4); }
    bool skip(uint32_t count) { return std::fseek(file_, static_cast<long>(count), SEEK_CUR) == 0; }
    bool bytes(unsigned char* out, size_t count) { return std::fread(out, 1, count, file_) == count; }
    bool atEnd() { return std::feof(file_) != 0; }

    // Bytes between the read position and the end of the file.
    long remaining()
    {
        long here = std::ftell(file_);
        if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return -1;
        long end = std::ftell(file_);
        std::fseek(file_, here, SEEK_SET);
        return end - here;
    }

private:
    bool number(uint32_t& out, int size)
    {
        unsigned char raw[4] = {};
        if (std::fread(raw, 1, static_cast<size_t>(size), file_) != static_cast<size_t>(size)) return false;
        out = 0;
        for (int i = size - 1; i >= 0; --i) out = out << 8 | raw[i];
        return true;
    }

    std::FILE* file_;
};

struct WavFormat {
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
};

bool readWavHeader(FileReader& in, WavFormat& format)
{
    char tag[5];
    uint32_t size = 0, formatTag = 0, ignored = 0;
    if (!in.tag(tag) || std::strcmp(tag, "RIFF") != 0 || !in.u32(ignored)) return false;
    if (!in.tag(tag) || std::strcmp(tag, "WAVE") != 0) return false;
    if (!in.tag(tag) || std::strcmp(tag, "fmt ") != 0 || !in.u32(size)) return false;
    // A format chunk too short to hold the bits per sample is not trusted.
    if (size < 16) return false;
    if (!in.u16(formatTag) || formatTag != 1) return false;
    if (!in.u16(format.channels) || !in.u32(format.rate) || !in.u32(ignored) || !in.u16(ignored)) return false;
    if (!in.u16(format.bits)) return false;
    if (size > 16 && !in.skip(size - 16)) return false;
    return format.channels > 0 && format.bits >= 8;
}

} // namespace

std::optional<AudioSamples> decodeWav(std::FILE* file)
{
    FileReader in(file);
    WavFormat format;
    if (!readWavHeader(in, format)) return std::nullopt;
    int bytesPerSample = static_cast<int>(format.bits / 8);
    for (;;) {
        char tag[5];
        uint32_t size = 0;
        if (!in.tag(tag) || !in.u32(size)) return std::nullopt;
        // Chunks are walked without the RIFF pad byte after odd sizes.
        if (std::strcmp(tag, "data") != 0) {
            if (!in.skip(size)) return std::nullopt;
            continue;
        }
        long remaining = in.remaining();
        if (remaining < 0 || size > static_cast<unsigned long>(remaining)) return std::nullopt;
        AudioSamples samples;
        samples.data.resize(size);
        if (!in.bytes(samples.data.data(), size)) return std::nullopt;
        samples.length = static_cast<int>(size / (static_cast<uint32_t>(bytesPerSample) * format.channels));
        samples.channels = static_cast<int>(format.channels);
        samples.bytesPerSample = bytesPerSample;
        samples.rate = static_cast<int>(format.rate);
        return samples;
    }
}

std::optional<AudioSamples> decodeOgg(std::FILE* file)
{
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_file(file, 0, &error, nullptr);
    if (!vorbis) return std::nullopt;
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    const size_t channels = static_cast<size_t>(info.channels);
    std::vector<short> values(4096 * channels);
    size_t filled = 0;
    int frames = 0;
    for (;;) {
        int got = stb_vorbis_get_samples_short_interleaved(vorbis, info.channels, values.data() + filled,
                                                           static_cast<int>(values.size() - filled));
        if (got == 0) break;
        filled += channels * static_cast<size_t>(got);
        frames += got;
        if (values.size() - filled < 4096 * channels) values.resize(values.size() * 2);
    }
    stb_vorbis_close(vorbis);
    AudioSamples samples;
    samples.data.resize(filled * sizeof(short));
    std::memcpy(samples.data.data(), values.data(), samples.data.size());
    samples.length = frames;
    samples.channels = info.channels;
    samples.bytesPerSample = 2;
    samples.rate = static_cast<int>(info.sample_rate);
    return samples;
}
