// The test programs' main: Google Test's, with every test given its own
// places for a user's files (tests/support/test_user_files.h).
#include "tests/support/test_user_files.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Gives the whole program a set of its own, and each test another.
class UserFilesPerTest : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override { program_ = std::make_unique<TestUserFiles>(); }
    void OnTestStart(const ::testing::TestInfo&) override { test_ = std::make_unique<TestUserFiles>(); }
    void OnTestEnd(const ::testing::TestInfo&) override { test_.reset(); }
    void OnTestProgramEnd(const ::testing::UnitTest&) override { program_.reset(); }

    std::unique_ptr<TestUserFiles> program_;
    std::unique_ptr<TestUserFiles> test_;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new UserFilesPerTest);
    return RUN_ALL_TESTS();
}
