// The main of every test program: GoogleTest's own, except that under CI
// (CI=true) a skipped test fails its program. A test that cannot run there
// would hide whatever it is meant to catch while ctest reports it passed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool underContinuousIntegration()
{
    const char* value = std::getenv("CI");
    return value && std::string(value) != "" && std::string(value) != "false" && std::string(value) != "0";
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    const int skipped = ::testing::UnitTest::GetInstance()->skipped_test_count();
    if (status == 0 && skipped > 0 && underContinuousIntegration()) {
        std::fprintf(stderr, "%d test%s skipped (listed above), and under CI (CI=true) a skip fails\n", skipped,
                     skipped == 1 ? " was" : "s were");
        return 1;
    }
    return status;
}
