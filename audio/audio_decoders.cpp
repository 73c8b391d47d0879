#include "audio/audio_decoders.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
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

// ---- Ogg Vorbis ----

namespace {

// The decoder reads the already opened file as a stream, from start to end,
// and leaves closing it to the caller. Read as a stream, the file is never
// searched for its links before decoding: libvorbisfile 1.3.7 loses memory
// when such a search meets a link whose headers are damaged.
size_t readOgg(void* out, size_t size, size_t count, void* file)
{
    return std::fread(out, size, count, static_cast<std::FILE*>(file));
}

constexpr ov_callbacks fileCallbacks {readOgg, nullptr, nullptr, nullptr};

// Owns a decoder once it has opened; a failed open leaves nothing to clear.
struct OggFile {
    OggVorbis_File vorbis {};
    bool opened = false;
    ~OggFile()
    {
        if (opened) ov_clear(&vorbis);
    }
};

// Decodes every link into 16-bit little-endian interleaved samples; false on a
// damaged stream, a link whose channel count differs from the first, or data
// beyond the size limit.
bool readAllSamples(OggVorbis_File& vorbis, int channels, size_t maxBytes, std::vector<unsigned char>& out)
{
    constexpr size_t chunk = 4096;
    size_t filled = 0;
    for (;;) {
        // Doubling, but never much beyond the limit.
        if (out.size() - filled < chunk) out.resize(std::min(std::max(out.size() * 2, filled + chunk), maxBytes + chunk));
        int link = 0;
        long got = ov_read(&vorbis, reinterpret_cast<char*>(out.data() + filled), static_cast<int>(chunk), 0, 2, 1,
                           &link);
        if (got == OV_HOLE) continue;
        if (got < 0) return false;
        if (got == 0) break;
        const vorbis_info* info = ov_info(&vorbis, link);
        if (!info || info->channels != channels) return false;
        filled += static_cast<size_t>(got);
        if (filled > maxBytes) return false;
    }
    out.resize(filled);
    return true;
}

} // namespace

std::optional<AudioSamples> decodeOgg(std::FILE* file, size_t maxBytes)
{
    OggFile ogg;
    ogg.opened = ov_open_callbacks(file, &ogg.vorbis, nullptr, 0, fileCallbacks) == 0;
    if (!ogg.opened) return std::nullopt;
    const vorbis_info* info = ov_info(&ogg.vorbis, -1);
    if (!info || info->channels < 1 || info->rate < 1) return std::nullopt;
    // A stream's length is not known before it is decoded: decoding stops at the limit.
    AudioSamples samples;
    if (!readAllSamples(ogg.vorbis, info->channels, maxBytes, samples.data)) return std::nullopt;
    samples.channels = info->channels;
    samples.length = static_cast<int>(samples.data.size() / (2 * static_cast<size_t>(info->channels)));
    samples.bytesPerSample = 2;
    samples.rate = static_cast<int>(info->rate);
    return samples;
}
