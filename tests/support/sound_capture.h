// What a real program plays, captured by OpenAL Soft's wave writer into a
// file of a test's own: 16-bit mono at 48 kHz, read back as it grows.
#pragma once

#include "tests/support/temp_folder.h"

#include <string>
#include <utility>
#include <vector>

// Reads a capture file as it grows: each read decodes only what was written
// since the last, so a test that polls a long capture does not decode it
// whole again every time. A file that became shorter (a new run of the
// program opened it afresh) is read again from its start.
class CaptureReader {
public:
    explicit CaptureReader(std::string path) : path_(std::move(path)) {}
    // The 16-bit mono samples from the data chunk to the end of the file
    // (the writer fills in its sizes only when the device closes).
    const std::vector<float>& samples();

private:
    std::string path_;
    long long taken_ = 0;   // bytes of the file read so far
    bool inData_ = false;   // the data chunk's header has been read
    std::string pending_;   // bytes read but not yet decoded: a header, half a sample
    std::vector<float> samples_;
};

class SoundCapture {
public:
    static constexpr double rate = 48000;

    SoundCapture();

    // The environment entry that points OpenAL Soft at the capture.
    std::string environment() const { return "ALSOFT_CONF=" + configPath_; }
    // Samples written so far (the writer fills in its sizes only at the end).
    const std::vector<float>& samples() const { return reader_.samples(); }
    // What sounded from the first sound after sample `from` on: `length`
    // samples, `skip` samples after its onset (past the attack), once they
    // are written; empty when nothing sounds within the timeout.
    std::vector<float> heardAfter(size_t from, size_t skip, size_t length, double timeoutSeconds = 30) const;

private:
    TempFolder folder_;
    std::string wavPath_;
    std::string configPath_;
    mutable CaptureReader reader_;
};

// The 16-bit mono samples of a capture file from its data chunk to its end
// (the writer fills in its sizes only when the device closes).
std::vector<float> readCaptureSamples(const std::string& path);

// Index of the first sample from `from` on louder than the level; the size
// of the samples when there is none.
size_t firstSoundAfter(const std::vector<float>& samples, size_t from, float level = 0.01f);
