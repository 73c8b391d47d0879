#include "tests/support/temp_folder.h"

#include "tests/support/child_process.h"

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
    removeTree(path_);
}

std::string TempFolder::write(const std::string& name, const std::string& bytes) const
{
    std::string full = path_ + "/" + name;
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}
