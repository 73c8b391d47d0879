// What asking the system clipboard for its text gave.
#pragma once

#include "base/text.h"

struct ClipboardAnswer {
    enum Kind { text, noAnswer, tooLarge };
    Kind kind = text;
    String content;  // empty when the clipboard holds no text
};
