#include "io/stream.h"

#include "host/console.h"
#include "io/data_buffer.h"
#include "io/stream_errors.h"

#include <algorithm>
#include <climits>

// ---- c_Stream ----

void c_Stream::writeAll(const BBDataBuffer& buffer, int offset, int count)
{
    while (count >= 1) {
        int written = write(buffer, offset, count);
        if (written <= 0) throw c_StreamWriteError(this);
        count -= written;
        offset += written;
    }
}

void c_Stream::writeText(const String& text)
{
    // Three bytes of room per character: the most any character encodes to.
    c_DataBuffer buffer;
    buffer.allocate(static_cast<int>(std::min<size_t>(text.size() * 3, INT_MAX)));
    int encoded = buffer.pokeText(0, text, U"utf8");
    writeAll(buffer, 0, encoded);
}

// ---- c_FileStream ----

c_FileStream::c_FileStream(std::unique_ptr<BBFileStream> hostStream) : hostStream_(std::move(hostStream)) {}

std::unique_ptr<c_FileStream> c_FileStream::open(const String& path, const String& mode)
{
    std::unique_ptr<BBFileStream> host = openHostStream(path, mode);
    if (!host) return nullptr;
    return std::make_unique<c_FileStream>(std::move(host));
}

std::unique_ptr<c_FileStream> c_FileStream::openOrFail(const String& path, const String& mode)
{
    std::unique_ptr<c_FileStream> stream = open(path, mode);
    if (!stream) raiseError(U"Failed to open stream");
    return stream;
}

int c_FileStream::write(const BBDataBuffer& buffer, int offset, int count)
{
    return hostStream_ ? hostStream_->writeFrom(buffer, offset, count) : 0;
}

bool c_FileStream::close()
{
    if (!hostStream_) return true;
    bool clean = hostStream_->closeStream();
    hostStream_.reset();
    return clean;
}
