// The host's byte streams: BBStream, the abstract stream, and BBFileStream,
// a stream on a C file opened through the host's path scheme.
#pragma once

#include "base/text.h"

#include <cstdio>
#include <memory>

class BBDataBuffer;

class BBStream {
public:
    virtual ~BBStream() = default;

    // Operations in slot order.
    // 1 at the end, 0 before it, -1 when closed.
    virtual int atEnd() = 0;
    // Closes the stream; true when everything written reached the file.
    virtual bool closeStream() = 0;
    virtual int streamLength() = 0;
    virtual int streamPosition() = 0;
    // Seeks from the start; returns the new position (0 when closed).
    virtual int seekTo(int offset) = 0;
    // Reads into the buffer's bytes at offset; returns the bytes read.
    virtual int readInto(BBDataBuffer& buffer, int offset, int count) = 0;
    // Writes from the buffer's bytes at offset; returns the bytes written.
    virtual int writeFrom(const BBDataBuffer& buffer, int offset, int count) = 0;
};

class BBFileStream : public BBStream {
public:
    BBFileStream() = default;
    ~BBFileStream() override;
    BBFileStream(const BBFileStream&) = delete;
    BBFileStream& operator=(const BBFileStream&) = delete;

    // Opens path in mode "r" (read), "w" (write, truncating) or "u" (read and
    // write, created when missing). False for any other mode, when already
    // open, or when the file cannot be opened.
    bool openPath(const String& path, const String& mode);

    int atEnd() override;
    bool closeStream() override;
    int streamLength() override { return fileLength_; }
    int streamPosition() override { return filePosition_; }
    int seekTo(int offset) override;
    int readInto(BBDataBuffer& buffer, int offset, int count) override;
    int writeFrom(const BBDataBuffer& buffer, int offset, int count) override;

    // Whether closing after a write waits until the bytes are on the disk
    // (the default). A file that is read back at once and never kept needs
    // no such wait.
    void setSyncOnClose(bool sync) { syncOnClose_ = sync; }

private:
    enum class Access { none, reading, writing };
    // C files need a seek between a read and a following write (or back).
    void switchAccess(Access access);

    std::FILE* file_ = nullptr;
    Access lastAccess_ = Access::none;
    bool wrote_ = false;
    bool syncOnClose_ = true;
    int filePosition_ = 0;
    int fileLength_ = 0;
};

// Opens a host stream; mode "a" opens as "u" and starts at the end so that
// writing appends. Nothing when the file cannot be opened.
std::unique_ptr<BBFileStream> openHostStream(const String& path, const String& mode);
