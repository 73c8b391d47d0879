// Line-by-line reading of the hand-drawn art files, with faults reported by
// file and line so a broken drawing stops the build with a clear message.
#pragma once

#include <fstream>
#include <stdexcept>
#include <string>

// A fault in an art file (or in writing what was made from it).
class ArtError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ArtReader {
public:
    explicit ArtReader(const std::string& path);

    // The next line that is neither blank nor a "//" comment; false at the end.
    bool next(std::string& line);
    // The next line, which must be exactly `width` characters from `alphabet`.
    std::string row(int width, const std::string& alphabet);

    [[noreturn]] void fail(const std::string& message) const;

private:
    std::string path_;
    std::ifstream file_;
    int lineNumber_ = 0;
};
