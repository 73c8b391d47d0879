#include "io/host_stream.h"

#include "base/data_files.h"
#include "io/data_buffer.h"

#include <algorithm>
#include <iterator>
#include <unistd.h>

namespace {

struct ModeMapping {
    const char32_t* mode;
    const char32_t* fileMode;
};

constexpr ModeMapping modeMappings[] = {
    {U"r", U"rb"},
    {U"w", U"wb"},
    {U"u", U"rb+"},
};
static_assert(std::size(modeMappings) == 3);

// The C file mode of a stream mode, or nothing for an unknown mode.
const char32_t* fileModeOf(const String& mode)
{
    for (const ModeMapping& mapping : modeMappings) {
        if (mode == mapping.mode) return mapping.fileMode;
    }
    return nullptr;
}

std::FILE* openThroughHost(const String& path, const String& fileMode)
{
    return openDataFile(path, fileMode);
}

// Size of an open file, leaving it positioned at the start.
int measureFile(std::FILE* file)
{
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size < 0 ? 0 : static_cast<int>(size);
}

// Flushes the C library's buffer (and, when asked, the system's cache) for a
// written file, then closes it; false when any of that failed (a full disk
// shows up here when the last bytes were still buffered).
bool flushAndClose(std::FILE* file, bool sync)
{
    bool flushed = std::fflush(file) == 0;
    bool synced = flushed && (!sync || fsync(fileno(file)) == 0);
    bool closed = std::fclose(file) == 0;
    return flushed && synced && closed;
}

} // namespace

BBFileStream::~BBFileStream() { closeStream(); }

bool BBFileStream::openPath(const String& path, const String& mode)
{
    if (file_) return false;
    const char32_t* fileMode = fileModeOf(mode);
    if (!fileMode) return false;
    file_ = openThroughHost(path, fileMode);
    if (!file_ && mode == U"u") file_ = openThroughHost(path, U"wb+");
    if (!file_) return false;
    fileLength_ = measureFile(file_);
    filePosition_ = 0;
    lastAccess_ = Access::none;
    return true;
}

int BBFileStream::atEnd()
{
    if (!file_) return -1;
    return filePosition_ == fileLength_ ? 1 : 0;
}

bool BBFileStream::closeStream()
{
    bool clean = true;
    if (file_) clean = wrote_ ? flushAndClose(file_, syncOnClose_) : std::fclose(file_) == 0;
    file_ = nullptr;
    lastAccess_ = Access::none;
    wrote_ = false;
    filePosition_ = 0;
    fileLength_ = 0;
    return clean;
}

int BBFileStream::seekTo(int offset)
{
    if (!file_) return 0;
    std::fseek(file_, offset, SEEK_SET);
    lastAccess_ = Access::none;
    long position = std::ftell(file_);
    filePosition_ = position < 0 ? filePosition_ : static_cast<int>(position);
    return filePosition_;
}

int BBFileStream::readInto(BBDataBuffer& buffer, int offset, int count)
{
    if (!file_) return 0;
    int inside = buffer.countInside(offset, count);
    if (inside <= 0) return 0;
    switchAccess(Access::reading);
    int read = static_cast<int>(std::fread(buffer.bytes() + offset, 1, static_cast<size_t>(inside), file_));
    filePosition_ += read;
    return read;
}

int BBFileStream::writeFrom(const BBDataBuffer& buffer, int offset, int count)
{
    if (!file_) return 0;
    int inside = buffer.countInside(offset, count);
    if (inside <= 0) return 0;
    switchAccess(Access::writing);
    wrote_ = true;
    int written = static_cast<int>(std::fwrite(buffer.bytes() + offset, 1, static_cast<size_t>(inside), file_));
    filePosition_ += written;
    fileLength_ = std::max(fileLength_, filePosition_);
    return written;
}

void BBFileStream::switchAccess(Access access)
{
    if (lastAccess_ != Access::none && lastAccess_ != access) std::fseek(file_, 0, SEEK_CUR);
    lastAccess_ = access;
}

std::unique_ptr<BBFileStream> openHostStream(const String& path, const String& mode)
{
    bool appending = mode == U"a";
    auto stream = std::make_unique<BBFileStream>();
    if (!stream->openPath(path, appending ? String(U"u") : mode)) return nullptr;
    if (appending) stream->seekTo(stream->streamLength());
    return stream;
}
