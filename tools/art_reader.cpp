#include "art_reader.h"

ArtReader::ArtReader(const std::string& path) : path_(path), file_(path)
{
    if (!file_) throw ArtError(path + ": cannot be read");
}

bool ArtReader::next(std::string& line)
{
    while (std::getline(file_, line)) {
        ++lineNumber_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.compare(0, 2, "//") != 0) return true;
    }
    return false;
}

std::string ArtReader::row(int width, const std::string& alphabet)
{
    std::string line;
    if (!next(line)) fail("the drawing ends early");
    if (static_cast<int>(line.size()) != width)
        fail("a row of " + std::to_string(line.size()) + " characters where " + std::to_string(width) +
             " are needed");
    size_t stray = line.find_first_not_of(alphabet);
    if (stray != std::string::npos) fail(std::string("unknown character '") + line[stray] + "' in a row");
    return line;
}

void ArtReader::fail(const std::string& message) const
{
    throw ArtError(path_ + ":" + std::to_string(lineNumber_) + ": " + message);
}
