// A scratch folder for stream and buffer tests; no host object is needed to
// open files.
#pragma once

#include "base/text.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

class IoTestFolder : public ::testing::Test {
protected:
    String path(const std::string& name) const { return widen(folder.path() + "/" + name); }
    String write(const std::string& name, const std::string& bytes) const { return widen(folder.write(name, bytes)); }
    std::string read(const std::string& name) const { return readFileBytes(folder.path() + "/" + name); }
    bool exists(const std::string& name) const { return access((folder.path() + "/" + name).c_str(), F_OK) == 0; }

    TempFolder folder;
};

// A runtime error's report, with standard output joined to standard error so
// that a death test sees it, and no terminal to wait on at the prompt.
inline void withRuntimeErrorVisible()
{
    if (!std::freopen("/dev/null", "r", stdin)) std::abort();
    dup2(2, 1);
}
