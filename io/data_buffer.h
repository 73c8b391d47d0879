// Byte blocks: the host's BBDataBuffer (filled once, emptied by discard) and
// the framework's c_DataBuffer, which adds allocation and text encoding.
#pragma once

#include "base/text.h"

#include <optional>
#include <vector>

class BBDataBuffer {
public:
    virtual ~BBDataBuffer() = default;

    // Takes a new block of size bytes (zeroed); false when the buffer already
    // holds bytes or the size is negative.
    bool adopt(int size);
    // Takes the given block; false when the buffer already holds bytes.
    bool adopt(std::vector<unsigned char> block);
    // Reads a whole file (scheme paths resolved by the host); false when the
    // buffer already holds bytes or the file cannot be read.
    bool loadFile(const String& path);
    // Frees the bytes; the buffer can be filled again.
    void discard();

    bool holdsBytes() const { return bytes_.has_value(); }
    int byteCount() const { return bytes_ ? static_cast<int>(bytes_->size()) : 0; }
    unsigned char* bytes() { return bytes_ ? bytes_->data() : nullptr; }
    const unsigned char* bytes() const { return bytes_ ? bytes_->data() : nullptr; }

    // The part of [offset, offset + count) that lies inside the bytes, as a
    // count from offset: 0 when offset itself is outside.
    int countInside(int offset, int count) const;

private:
    std::optional<std::vector<unsigned char>> bytes_;
};

class c_DataBuffer : public BBDataBuffer {
public:
    // Takes a new block; a buffer that already holds bytes (or a size that
    // cannot be allocated) is the runtime error "Allocate DataBuffer failed".
    void allocate(int size);

    // Copies min(count, room from address, values from start) values, each
    // cut to its low 8 bits; nothing when that is not positive.
    void pokeBytes(int address, const std::vector<int>& values, int start, int count);

    // Encodes the text as "utf8" or "ascii" and writes as much as fits from
    // address on. Returns the full encoded size, even when less was written.
    // Any other encoding is a runtime error.
    int pokeText(int address, const String& text, const String& encoding);
};
