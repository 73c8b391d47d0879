#include "base/file_loading.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* openLoadableFile(const std::string& realPath, size_t limit)
{
    // Non-blocking, because opening a FIFO for reading waits for a writer.
    int fd = ::open(realPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    bool loadable = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<size_t>(info.st_size) <= limit &&
                    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
    std::FILE* file = loadable ? fdopen(fd, "rb") : nullptr;
    if (!file) ::close(fd);
    return file;
}

std::optional<std::vector<unsigned char>> readWholeFile(std::FILE* file, size_t limit)
{
    std::vector<unsigned char> bytes;
    unsigned char chunk[4096];
    for (;;) {
        size_t count = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + count);
        if (bytes.size() > limit || std::ferror(file)) return std::nullopt;
        if (count < sizeof chunk) return bytes;
    }
}

namespace {
const char* kindRefused(const struct stat& info, size_t limit)
{
    if (S_ISFIFO(info.st_mode)) return "a FIFO";
    if (S_ISDIR(info.st_mode)) return "a folder";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "a device";
    if (!S_ISREG(info.st_mode)) return "not a regular file";
    return static_cast<size_t>(info.st_size) > limit ? "too large" : nullptr;
}
} // namespace

SmallFile readSmallFile(const std::string& path, size_t limit)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {std::nullopt, errno == ENOENT ? nullptr : "unreadable"};
    if (const char* refusal = kindRefused(info, limit)) return {std::nullopt, refusal};
    std::FILE* file = openLoadableFile(path, limit);
    if (!file) return {std::nullopt, "unreadable"};
    SmallFile read {readWholeFile(file, limit)};
    // A file that grew past the limit, or a disk that failed part-way.
    if (!read.bytes) read.refusal = std::ferror(file) ? "unreadable" : "too large";
    std::fclose(file);
    return read;
}

std::string escapedBytes(const std::string& bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (unsigned char b : bytes) {
        if (b >= 0x20 && b < 0x7F) {
            shown += static_cast<char>(b);
        } else {
            shown += {'\\', 'x', hex[b >> 4], hex[b & 15]};
        }
    }
    return shown;
}

namespace {

String decodeUtf16(const std::vector<unsigned char>& bytes, bool bigEndian)
{
    String text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned high = bytes[bigEndian ? i : i + 1];
        unsigned low = bytes[bigEndian ? i + 1 : i];
        text += static_cast<char32_t>(high << 8 | low);
    }
    return text;
}

bool isFollowByte(unsigned char b) { return (b & 0xC0) == 0x80; }

// Strict decoding of 1- to 3-byte sequences; nothing on any other byte.
std::optional<String> decodeUtf8(const std::vector<unsigned char>& bytes, size_t start)
{
    String text;
    text.reserve(bytes.size() - start);
    size_t i = start;
    while (i < bytes.size()) {
        unsigned char lead = bytes[i];
        if (lead < 0x80) {
            text += lead;
            i += 1;
        } else if ((lead & 0xE0) == 0xC0) {
            if (i + 1 >= bytes.size() || !isFollowByte(bytes[i + 1])) return std::nullopt;
            text += static_cast<char32_t>((lead & 0x1F) << 6 | (bytes[i + 1] & 0x3F));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0) {
            if (i + 2 >= bytes.size() || !isFollowByte(bytes[i + 1]) || !isFollowByte(bytes[i + 2]))
                return std::nullopt;
            text += static_cast<char32_t>((lead & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6 | (bytes[i + 2] & 0x3F));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return text;
}

} // namespace

String decodeText(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty()) return String();
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return decodeUtf16(bytes, true);
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return decodeUtf16(bytes, false);
    size_t start = bytes.size() > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    if (std::optional<String> text = decodeUtf8(bytes, start)) return *text;
    String text(bytes.size() - start, U'\0');
    for (size_t i = start; i < bytes.size(); ++i) text[i - start] = bytes[i];
    return text;
}
