// Bytes → text through every way the program reads and turns text: the
// whole-file loader with its byte-order marks, UTF-8 and 8-bit fallback, the
// number conversion, and the encoders that write text back out.
#include "base/file_loading.h"
#include "base/data_files.h"
#include "io/data_buffer.h"
#include "tests/fuzz/fuzz_input.h"

#include <vector>

namespace {

// The decoder never makes characters beyond 16 bits, and never more
// characters than there were bytes.
void checkDecoded(const String& text, size_t byteCount)
{
    fuzzCheck(text.size() <= byteCount, "no more characters than bytes");
    for (char32_t c : text) fuzzCheck(c <= 0xFFFF, "16-bit characters");
}

// Both writing encodings into a buffer too small for most texts: the full
// size is reported, only what fits is written.
void checkEncoders(const String& text)
{
    c_DataBuffer buffer;
    buffer.allocate(64);
    const int utf8 = buffer.pokeText(0, text, U"utf8");
    fuzzCheck(utf8 == static_cast<int>(encodeUtf8(text).size()), "utf8 size is the encoded size");
    fuzzCheck(buffer.pokeText(3, text, U"ascii") == static_cast<int>(text.size()), "ascii size is the length");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    const String decoded = decodeText(bytes);
    checkDecoded(decoded, size);
    fuzzCheck(loadText(widen(writeFuzzFile("text", data, size))) == decoded,
              "the file reads as its bytes decode");
    // The number conversion of song values and font fields.
    (void)toInt(decoded);
    checkEncoders(decoded);
    return 0;
}
