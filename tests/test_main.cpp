// The test programs' main: Google Test's, with every test given its own
// places for a user's files (tests/support/test_user_files.h), and under CI
// (CI=true) a skipped test fails its program: a test that cannot run there
// would hide whatever it is meant to catch while ctest reports it passed.
#include "tests/support/test_user_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

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

bool underContinuousIntegration()
{
    const char* value = std::getenv("CI");
    return value && std::string(value) != "" && std::string(value) != "false" && std::string(value) != "0";
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new UserFilesPerTest);
    const int status = RUN_ALL_TESTS();
    const int skipped = ::testing::UnitTest::GetInstance()->skipped_test_count();
    if (status == 0 && skipped > 0 && underContinuousIntegration()) {
        std::fprintf(stderr, "%d test%s skipped (listed above), and under CI (CI=true) a skip fails\n", skipped,
                     skipped == 1 ? " was" : "s were");
        return 1;
    }
    return status;
}
