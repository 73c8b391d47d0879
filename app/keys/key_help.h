// The key help's text, laid out from the key table for the overlay's width.
#pragma once

#include "base/text.h"

#include <functional>
#include <string_view>
#include <vector>

struct HelpLine {
    String text;
    bool keys = false;  // a row's keys; otherwise a line of what they do
};

// Words of the text in lines of at most width characters; a word longer than
// a line is cut.
std::vector<String> wrapText(std::u32string_view text, size_t width);

using HelpPage = std::vector<HelpLine>;

// What the user's keyboard prints on a key (by application key code), or
// empty where the key table's own name stands.
using KeyCaps = std::function<String(int)>;

// Every row of the key table, its keys and then what they do indented by
// two, on pages of at most pageLines lines; a row never spans two pages. With
// caps, the Control shortcuts (and, with notesByPlace, the note keys) are
// named as the user's keyboard prints them.
// The key file's bindings are shown where they hold.
struct KeyBindings;
std::vector<HelpPage> keyHelpPages(size_t pageLines, const KeyCaps& caps = {}, bool notesByPlace = false,
                                   const KeyBindings* bindings = nullptr);
