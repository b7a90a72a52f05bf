// Kills a process in the middle of its settings saves, again and again, and checks every file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/common_unit.h"
#include "common/platform.h"
#include "tests/settings/save_kills.h"
#include "tests/support/test_seed.h"

namespace {

class SaveCrashTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartCommonUnit(); }
    static void TearDownTestSuite() { EndCommonUnit(); }
};

TEST_F(SaveCrashTest, KilledSavesLeaveTheOldOrTheNewFileWhole) {
    const savegen::RunResult r = savegen::KillRepeatedly("atomic", savegen::Mode::Atomic, 100, testsupport::freshSeed());
    std::printf("atomic saves: %d kills (%d in the middle of a write), %d torn files, %d generations saved, "
                "%d temporary files left\n",
                r.kills, r.midWrite, r.torn, r.generations, r.leftovers);
    EXPECT_EQ(r.failure, "");
    EXPECT_EQ(r.kills, 100);
    EXPECT_EQ(r.torn, 0);
    // Saves cut short do not pile up files beside the settings.
    EXPECT_LE(r.leftovers, 1);
    // The kills must have met the writer at work, or the test proves nothing.
    EXPECT_GT(r.generations, 0);
    EXPECT_GT(r.midWrite, 0);
}

// The check above finds no torn file only if it can see one: what a writer killed in the middle
// of overwriting the file in place leaves (the new generation's first pieces, or the old
// generation's with the new one's first pieces over them), and a file emptied by the kill.
// How often such kills tear a file is a figure of the machine: tess_save_tear_bench prints it.
TEST_F(SaveCrashTest, TheCheckSeesEveryTornFile) {
    std::u16string scratch = platform::ModulePath();
    scratch.resize(scratch.rfind(platform::PathSeparator()) + 1);
    scratch += u"crash_check.ini";
    const std::string before = savegen::ExpectedBytes(5, scratch), after = savegen::ExpectedBytes(6, scratch);
    ASSERT_GT(before.size(), 3 * 4096u);
    ASSERT_GT(after.size(), 3 * 4096u);
    EXPECT_TRUE(savegen::IsGeneration(before, 5, scratch));
    EXPECT_TRUE(savegen::IsGeneration(after, 6, scratch));
    EXPECT_FALSE(savegen::IsGeneration(after, 5, scratch));
    EXPECT_FALSE(savegen::IsGeneration(before, -1, scratch));
    // Cut short anywhere, the last byte included.
    for (const std::size_t cut : {std::size_t{0}, std::size_t{4096}, std::size_t{2 * 4096}, after.size() - 1}) {
        SCOPED_TRACE(cut);
        for (const int gen : {5, 6}) EXPECT_FALSE(savegen::IsGeneration(after.substr(0, cut), gen, scratch)) << gen;
    }
    // New pieces over the old file: the first piece changes the generation's number, the later
    // ones its lines.
    for (const std::size_t cut : {std::size_t{4096}, std::size_t{2 * 4096}, after.size() / 2}) {
        SCOPED_TRACE(cut);
        const std::string overlaid = after.substr(0, cut) + before.substr(cut);
        for (const int gen : {5, 6}) EXPECT_FALSE(savegen::IsGeneration(overlaid, gen, scratch)) << gen;
    }
}

}  // namespace
