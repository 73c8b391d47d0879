// A 16-bit stereo sound file of any export format, written through
// libsndfile as the sound is made. The writer does the file's input and
// output itself, so that a refused write is seen wherever the encoder makes
// it, including the last pages an encoder flushes when the file closes.
#pragma once

#include "export/export_settings.h"

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;  // libsndfile's SNDFILE

// Whether this libsndfile can write the format at the rate.
bool canWriteFormat(AudioFormat format, int rate);

class SoundFileWriter {
public:
    SoundFileWriter() = default;
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // Creates the file in the settings' format, with the title and the
    // program's name in its tags: a new file (export/export_temporaries.h),
    // never one that is there already. False with error() set when the file
    // cannot be made.
    bool open(const std::string& path, const ExportSettings& settings);
    // Appends interleaved left, right frames. False when the disk refuses
    // or the file would outgrow what a WAV header can count.
    bool write(const int16_t* frames, size_t frameCount);
    // Lets the encoder finish and puts the file on the disk; false when any
    // of it failed.
    bool finish();
    // Gives the finished file the target's name, then closes it.
    bool moveTo(const std::string& target);
    // Closes and deletes a file that will not be finished.
    void discard();

    const std::string& path() const { return path_; }
    // The reason of the first failure, as the system or the library gave it.
    const std::string& error() const { return error_; }

    // libsndfile's file operations, on this writer's descriptor.
    long long fileLength();
    long long seek(long long offset, int whence);
    long long read(void* into, long long bytes);
    long long writeBytes(const void* from, long long bytes);
    long long tell();

private:
    bool fail(const std::string& reason);
    bool closeDescriptor();
    long long writeAsFloats(const int16_t* frames, size_t frameCount);

    int descriptor_ = -1;
    sf_private_tag* file_ = nullptr;
    std::string path_;
    std::string error_;
    bool sizeLimited_ = false;  // a WAV header counts its sizes in 32 bits
    bool lossy_ = false;
    std::vector<float> floats_;
    uint64_t dataBytes_ = 0;
};
