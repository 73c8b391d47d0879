// Pasted text → pattern rows: the reader never takes more than a pattern's
// rows or a bounded row, and what it read, written and read again, is what
// writing gives once more.
#include "app/editing/pattern_text.h"
#include "base/file_loading.h"
#include "tests/fuzz/fuzz_input.h"

#include <vector>

namespace {

void checkBounds(const std::vector<ClipRow>& rows)
{
    fuzzCheck(!rows.empty() && rows.size() <= 256, "between one row and a pattern's worth");
    for (const ClipRow& row : rows) fuzzCheck(row.size() <= 64, "a bounded row");
}

void checkSizesKept(const std::vector<ClipRow>& first, const std::vector<ClipRow>& again)
{
    fuzzCheck(again.size() == first.size(), "written rows read back as many");
    for (size_t i = 0; i < first.size() && i < again.size(); ++i)
        fuzzCheck(again[i].size() == first[i].size(), "written cells read back as many");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    // The first byte chooses the entry octave and instrument.
    const PasteDefaults defaults {data[0] % 4, data[0] / 4 % 15 + 1};
    const String text = decodeText(std::vector<unsigned char>(data + 1, data + size));
    std::optional<std::vector<ClipRow>> rows = readPatternText(text, defaults);
    if (!rows) return 0;
    checkBounds(*rows);
    const String written = writePatternText(*rows);
    std::optional<std::vector<ClipRow>> again = readPatternText(written, defaults);
    fuzzCheck(again.has_value(), "written text reads");
    if (!again) return 0;
    checkSizesKept(*rows, *again);
    fuzzCheck(writePatternText(*again) == written, "writing what was read back gives the same text");
    return 0;
}
