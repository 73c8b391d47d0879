#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/kovo-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::string command = "rm -rf '" + path_ + "'";
    [[maybe_unused]] int ignored = std::system(command.c_str());
}

std::string TempFolder::write(const std::string& name, const std::string& bytes) const
{
    std::string full = path_ + "/" + name;
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}
