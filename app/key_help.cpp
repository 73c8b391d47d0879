#include "app/key_help.h"

#include "app/key_table.h"
#include "app/screen_layout.h"

std::vector<String> wrapText(std::u32string_view text, size_t width)
{
    std::vector<String> lines;
    String line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(U' ', start);
        if (end == std::u32string_view::npos) end = text.size();
        std::u32string_view word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        while (word.size() > width) {
            lines.emplace_back(word.substr(0, width));
            word = word.substr(width);
        }
        if (!line.empty()) line += U' ';
        line += word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<HelpPage> keyHelpPages(size_t pageLines)
{
    constexpr size_t indent = 2;
    std::vector<HelpPage> pages(1);
    for (const KeyRow& row : keyRows) {
        HelpPage lines;
        for (String& text : wrapText(row.keys, overlayColumns)) lines.push_back({std::move(text), true});
        for (String& text : wrapText(row.action, overlayColumns - indent))
            lines.push_back({String(indent, U' ') + text, false});
        if (!pages.back().empty() && pages.back().size() + lines.size() > pageLines) pages.emplace_back();
        pages.back().insert(pages.back().end(), lines.begin(), lines.end());
    }
    return pages;
}
