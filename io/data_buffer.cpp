#include "io/data_buffer.h"

#include "base/data_files.h"
#include "host/console.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The text as "ascii": the low 8 bits of every character.
std::string encodeAsciiText(const String& text) { return narrow(text); }

} // namespace

// ---- BBDataBuffer ----

bool BBDataBuffer::adopt(int size)
{
    if (bytes_ || size < 0) return false;
    try {
        bytes_.emplace(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool BBDataBuffer::adopt(std::vector<unsigned char> block)
{
    if (bytes_) return false;
    bytes_ = std::move(block);
    return true;
}

bool BBDataBuffer::loadFile(const String& path)
{
    if (bytes_) return false;
    bytes_ = loadFileBytes(path);
    return bytes_.has_value();
}

void BBDataBuffer::discard() { bytes_.reset(); }

int BBDataBuffer::countInside(int offset, int count) const
{
    if (offset < 0 || count <= 0 || offset >= byteCount()) return 0;
    return std::min(count, byteCount() - offset);
}

// ---- c_DataBuffer ----

void c_DataBuffer::allocate(int size)
{
    if (!adopt(size)) raiseError(U"Allocate DataBuffer failed");
}

void c_DataBuffer::pokeBytes(int address, const std::vector<int>& values, int start, int count)
{
    if (start < 0 || start >= static_cast<int>(values.size())) return;
    int n = std::min(countInside(address, count), static_cast<int>(values.size()) - start);
    for (int i = 0; i < n; ++i) bytes()[address + i] = static_cast<unsigned char>(values[start + i] & 0xFF);
}

int c_DataBuffer::pokeText(int address, const String& text, const String& encoding)
{
    std::string encoded;
    if (encoding == U"utf8") {
        encoded = encodeUtf8Text(text);
    } else if (encoding == U"ascii") {
        encoded = encodeAsciiText(text);
    } else {
        raiseError(U"Invalid string encoding:" + encoding);
    }
    int total = static_cast<int>(encoded.size());
    int fitting = countInside(address, total);
    if (fitting > 0) std::memcpy(bytes() + address, encoded.data(), static_cast<size_t>(fitting));
    return total;
}
