#include "wav_file.h"


namespace {

class LittleEndianWriter {
public:
    void tag(const char* text) { bytes.insert(bytes.end(), text, text + 4); }
    void u16(uint32_t value) { number(value, 2); }
    void u32(uint32_t value) { number(value, 4); }

    std::vector<unsigned char> bytes;

private:
    void number(uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
};

} // namespace

std::vector<unsigned char> encodeWav(const std::vector<int16_t>& samples, int rate)
{
    constexpr uint32_t kChannels = 1, kBytesPerSample = 2;
    const uint32_t dataSize = static_cast<uint32_t>(samples.size()) * kBytesPerSample;
    LittleEndianWriter out;
    out.tag("RIFF");
    out.u32(36 + dataSize);
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32(16);
    out.u16(1);  // integer PCM
    out.u16(kChannels);
    out.u32(static_cast<uint32_t>(rate));
    out.u32(static_cast<uint32_t>(rate) * kChannels * kBytesPerSample);
    out.u16(kChannels * kBytesPerSample);
    out.u16(8 * kBytesPerSample);
    out.tag("data");
    out.u32(dataSize);
    for (int16_t sample : samples) out.u16(static_cast<uint16_t>(sample));
    return out.bytes;
}
