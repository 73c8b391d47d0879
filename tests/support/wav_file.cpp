#include "tests/support/wav_file.h"

namespace {

std::string littleEndian(uint64_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

std::string formatBody(const WavLayout& layout)
{
    int blockAlign = layout.channels * layout.bits / 8;
    std::string body = littleEndian(static_cast<uint64_t>(layout.formatTag), 2) +
                       littleEndian(static_cast<uint64_t>(layout.channels), 2) +
                       littleEndian(static_cast<uint64_t>(layout.rate), 4) +
                       littleEndian(static_cast<uint64_t>(layout.rate) * static_cast<uint64_t>(blockAlign), 4) +
                       littleEndian(static_cast<uint64_t>(blockAlign), 2) +
                       littleEndian(static_cast<uint64_t>(layout.bits), 2);
    body.resize(layout.formatSize, '\0');
    return body;
}

} // namespace

std::string riffChunk(const std::string& tag, const std::string& body)
{
    return tag + littleEndian(body.size(), 4) + body;
}

std::string wavBytes(const WavLayout& layout)
{
    std::string format = "fmt " + littleEndian(layout.formatSize, 4) + formatBody(layout);
    uint64_t dataSize = layout.declaredDataSize < 0 ? layout.data.size() : static_cast<uint64_t>(layout.declaredDataSize);
    std::string data = "data" + littleEndian(dataSize, 4) + layout.data;
    std::string body = "WAVE" + format + layout.chunksBeforeData + data;
    return "RIFF" + littleEndian(body.size(), 4) + body;
}

std::string pcm16(const std::vector<int16_t>& values)
{
    std::string out;
    for (int16_t value : values) out += littleEndian(static_cast<uint16_t>(value), 2);
    return out;
}

std::vector<int16_t> sawCycle(int frames)
{
    std::vector<int16_t> values(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) values[static_cast<size_t>(i)] = static_cast<int16_t>(-32768 + 65535L * i / frames);
    return values;
}

std::vector<int16_t> ramp(int frames, int step)
{
    std::vector<int16_t> values(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) values[static_cast<size_t>(i)] = static_cast<int16_t>(i * step);
    return values;
}
