// A fresh folder under /tmp for one test, removed with everything in it.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // Writes the bytes to the named file in the folder; returns its full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};
