// A pattern column: its characters behind a shared text that never changes
// in place. Copies share the text, and a write copies it only while another
// copy still holds it, so the undo ring keeps only the columns edits changed.
// Reads look like a String's.
#pragma once

#include "base/text.h"

#include <memory>

class PatternColumn {
public:
    // One character of a column that can be written through it, copying the
    // column's text first when it is shared.
    class Cell {
    public:
        Cell(PatternColumn& column, size_t index) : column_(column), index_(index) {}
        operator char32_t() const { return column_.text()[index_]; }
        Cell& operator=(char32_t c)
        {
            column_.set(index_, c);
            return *this;
        }
        Cell& operator=(const Cell& other) { return *this = static_cast<char32_t>(other); }

    private:
        PatternColumn& column_;
        size_t index_;
    };

    PatternColumn();
    PatternColumn(String text);  // implicit: a column is assigned from a text

    const String& text() const { return *text_; }
    operator const String&() const { return *text_; }
    size_t size() const { return text_->size(); }
    bool empty() const { return text_->empty(); }
    char32_t operator[](size_t index) const { return (*text_)[index]; }
    Cell operator[](size_t index) { return Cell(*this, index); }
    String substr(size_t position, size_t length = String::npos) const { return text_->substr(position, length); }

    // Writes one character inside the column; writing the character already
    // there copies nothing.
    void set(size_t index, char32_t c);

    // True when both columns hold the very same text.
    bool sharesTextWith(const PatternColumn& other) const { return text_ == other.text_; }

private:
    std::shared_ptr<String> text_;  // only ever changed while unshared
};

bool operator==(const PatternColumn& a, const PatternColumn& b);
inline bool operator==(const PatternColumn& a, const String& b) { return a.text() == b; }
inline bool operator==(const String& a, const PatternColumn& b) { return a == b.text(); }
inline bool operator!=(const PatternColumn& a, const PatternColumn& b) { return !(a == b); }
inline bool operator!=(const PatternColumn& a, const String& b) { return !(a == b); }
inline bool operator!=(const String& a, const PatternColumn& b) { return !(a == b); }
