// The framework's streams: c_Stream writes whole buffers and texts, throwing
// c_StreamWriteError when bytes cannot be written; c_FileStream is one on a
// host file stream.
#pragma once

#include "host/text.h"
#include "io/host_stream.h"

#include <memory>

class BBDataBuffer;

class c_Stream {
public:
    virtual ~c_Stream() = default;

    // Operations in slot order.
    // Writes from the buffer's bytes at offset; returns the bytes written.
    virtual int write(const BBDataBuffer& buffer, int offset, int count) = 0;
    // Ends the stream for good; true when everything written reached the file.
    virtual bool close() = 0;

    // Writes all count bytes or throws c_StreamWriteError (a closed stream
    // writes nothing and so throws).
    void writeAll(const BBDataBuffer& buffer, int offset, int count);

    // Writes exactly the UTF-8 bytes of the text: no length, terminator or
    // byte-order mark.
    void writeText(const String& text);
};

class c_FileStream : public c_Stream {
public:
    explicit c_FileStream(std::unique_ptr<BBFileStream> hostStream);

    // A stream on path in mode "r", "w", "u" or "a"; nothing when the file
    // cannot be opened (the caller has to test before writing).
    static std::unique_ptr<c_FileStream> open(const String& path, const String& mode);
    // The same, but a file that cannot be opened is the runtime error
    // "Failed to open stream".
    static std::unique_ptr<c_FileStream> openOrFail(const String& path, const String& mode);

    int write(const BBDataBuffer& buffer, int offset, int count) override;
    bool close() override;

    // The host stream; null after closing.
    BBFileStream* hostStream() const { return hostStream_.get(); }

private:
    std::unique_ptr<BBFileStream> hostStream_;
};
