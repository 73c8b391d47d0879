#include "song/pattern_column.h"

namespace {
// Every empty column shares one text.
const std::shared_ptr<String>& emptyText()
{
    static const auto empty = std::make_shared<String>();
    return empty;
}
} // namespace

PatternColumn::PatternColumn() : text_(emptyText()) {}

PatternColumn::PatternColumn(String text) : text_(std::make_shared<String>(std::move(text))) {}

void PatternColumn::set(size_t index, char32_t c)
{
    if (index >= text_->size() || (*text_)[index] == c) return;
    // Written in place only while nothing else can see the text.
    if (text_.use_count() > 1) text_ = std::make_shared<String>(*text_);
    (*text_)[index] = c;
}

bool operator==(const PatternColumn& a, const PatternColumn& b)
{
    return a.sharesTextWith(b) || a.text() == b.text();
}
