// A scratch folder for stream tests, with the host object that opens files.
#pragma once

#include "host/glfw_game.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

class IoTestFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kovo-io-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override
    {
        std::string command = "rm -rf '" + folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    String path(const std::string& name) const { return widen(folder + "/" + name); }
    String write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
        return path(name);
    }
    std::string read(const std::string& name) const { return readFileBytes(folder + "/" + name); }
    bool exists(const std::string& name) const { return access((folder + "/" + name).c_str(), F_OK) == 0; }

    BBQuorvaneGame game;
    std::string folder;
};

// A runtime error's report, with standard output joined to standard error so
// that a death test sees it, and no terminal to wait on at the prompt.
inline void withRuntimeErrorVisible()
{
    if (!std::freopen("/dev/null", "r", stdin)) std::abort();
    dup2(2, 1);
}
