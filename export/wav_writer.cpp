#include "export/wav_writer.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr int channels = 2;
constexpr int bytesPerSample = 2;
constexpr uint32_t headerBytes = 44;
// The RIFF size field counts everything after itself in 32 bits.
constexpr uint64_t largestData = 0xFFFFFFFFull - (headerBytes - 8);

void put16(unsigned char* at, uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void put32(unsigned char* at, uint32_t value)
{
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

void fillHeader(unsigned char (&header)[headerBytes], int rate, uint32_t dataBytes)
{
    std::memcpy(header, "RIFF\0\0\0\0WAVEfmt ", 16);
    put32(header + 4, dataBytes + headerBytes - 8);
    put32(header + 16, 16);
    put16(header + 20, 1);  // integer PCM
    put16(header + 22, channels);
    put32(header + 24, static_cast<uint32_t>(rate));
    put32(header + 28, static_cast<uint32_t>(rate * channels * bytesPerSample));
    put16(header + 32, channels * bytesPerSample);
    put16(header + 34, bytesPerSample * 8);
    std::memcpy(header + 36, "data", 4);
    put32(header + 40, dataBytes);
}

} // namespace

WavWriter::~WavWriter()
{
    if (file_) discard();
}

bool WavWriter::fail()
{
    if (error_.empty()) error_ = std::strerror(errno ? errno : EIO);
    return false;
}

bool WavWriter::open(const std::string& path, int rate)
{
    path_ = path;
    rate_ = rate;
    error_.clear();
    dataBytes_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return fail();
    unsigned char header[headerBytes];
    fillHeader(header, rate, 0);
    return std::fwrite(header, 1, headerBytes, file_) == headerBytes || fail();
}

bool WavWriter::write(const int16_t* frames, size_t frameCount)
{
    size_t bytes = frameCount * channels * bytesPerSample;
    if (dataBytes_ + bytes > largestData) {
        error_ = "the sound is too long for a WAV file";
        return false;
    }
    // Samples are little-endian in the file, as they are in memory here.
    static_assert(sizeof(int16_t) == bytesPerSample);
    if (std::fwrite(frames, 1, bytes, file_) != bytes) return fail();
    dataBytes_ += bytes;
    return true;
}

bool WavWriter::finish()
{
    unsigned char header[headerBytes];
    fillHeader(header, rate_, static_cast<uint32_t>(dataBytes_));
    bool written = std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(header, 1, headerBytes, file_) == headerBytes &&
                   std::fflush(file_) == 0;
    if (!written) fail();
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed && written) fail();
    return written && closed;
}

void WavWriter::discard()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!path_.empty()) std::remove(path_.c_str());
}
