// The main of every test program: a run in which a test was skipped or disabled, or no test ran at all, fails.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (GTEST_FLAG_GET(list_tests)) return result;

    // GoogleTest counts a skipped test as passed, and a filter that matches nothing as a clean run;
    // either would hide a test that no longer checks anything.
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    int faults = 0;
    if (unit.test_to_run_count() == 0) {
        std::fprintf(stderr, "FAILED: no test ran\n");
        ++faults;
    }
    if (unit.skipped_test_count() > 0) {
        std::fprintf(stderr, "FAILED: %d skipped test(s) (listed above): a skip counts as a failure\n",
                     unit.skipped_test_count());
        ++faults;
    }
    if (unit.reportable_disabled_test_count() > 0) {
        std::fprintf(stderr, "FAILED: %d disabled test(s): a disabled test counts as a failure\n",
                     unit.reportable_disabled_test_count());
        ++faults;
    }
    return faults ? 1 : result;
}
