// A 16-bit stereo PCM WAV file written as the sound is made: the header goes
// first with sizes of 0 and gets its real sizes when the file is finished.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates (or empties) the file and writes the header. False with
    // error() set when the file cannot be made.
    bool open(const std::string& path, int rate);
    // Appends interleaved left, right frames. False when the disk refuses
    // or the file would outgrow what a WAV header can count.
    bool write(const int16_t* frames, size_t frameCount);
    // Fills in the sizes, flushes and closes; false when any of it failed.
    bool finish();
    // Closes and deletes a file that will not be finished.
    void discard();

    const std::string& path() const { return path_; }
    // The reason of the last failure, as the system gave it.
    const std::string& error() const { return error_; }

private:
    bool fail();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string error_;
    int rate_ = 0;
    uint64_t dataBytes_ = 0;
};
