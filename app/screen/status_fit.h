// A status message in the title bar: a short one stands after "Status: "; a
// longer one takes that label's place, then the column headings' from the
// right, a whole heading at a time, so it reads whole. One longer than the
// bar loses the middle of its text ("..."), never its ends, where a file's
// name and an outcome stand.
#pragma once

#include "base/text.h"

#include <string_view>

constexpr std::u32string_view titleLabel = U"POS CHN1  CHN2  CHN3  CHN4  POS ## Status: ";
// Cells the bar holds across the window.
constexpr size_t titleColumns = 58;

struct TitleLine {
    String label;   // the part of the headings left standing
    String status;  // the message as shown
    size_t statusColumn = 0;
};

TitleLine fitTitleLine(const String& status);
