// Tests of the program's path values.
#include "common/program_path.h"

#include <gtest/gtest.h>

#include "common/common_unit.h"
#include "common/platform.h"

namespace {

TEST(ProgramPath, DerivedFromTheReportedPath) {
    struct Case {
        std::u16string module;
        char16_t sep;
        std::u16string path, name, dir;
    };
    const Case cases[] = {
        {u"C:\\GAMES\\PUZZLE.EXE", u'\\', u"C:\\GAMES\\Puzzle.exe", u"PUZZLE", u"C:\\GAMES\\"},
        {u"C:\\Spiele\\Zib.Test.EXE", u'\\', u"C:\\Spiele\\Zib.test.exe", u"Zib.Test", u"C:\\Spiele\\"},
        // Only an ASCII first letter is capitalised.
        {u"D:\\ÄRGER.EXE", u'\\', u"D:\\ärger.exe", u"ÄRGER", u"D:\\"},
        {u"C:\\bin\\1ZIB", u'\\', u"C:\\bin\\1zib", u"1ZIB", u"C:\\bin\\"},
        {u"/opt/tess/Tessarino", u'/', u"/opt/tess/Tessarino", u"Tessarino", u"/opt/tess/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.module));
        const TProgramPathValues v = DeriveProgramPaths(c.module, c.sep);
        EXPECT_EQ(v.Path, c.path);
        EXPECT_EQ(v.Name, c.name);
        EXPECT_EQ(v.Dir, c.dir);
    }
}

TEST(ProgramPath, UnitStartRecordsTheRunningProgram) {
    StartCommonUnit();
    const std::u16string module = platform::ModulePath();
    ASSERT_FALSE(module.empty());
    EXPECT_FALSE(ProgramName.empty());
    ASSERT_FALSE(ProgramDir.empty());
    EXPECT_EQ(ProgramDir.back(), platform::PathSeparator());
    EXPECT_EQ(module.substr(0, ProgramDir.size()), ProgramDir);
    EXPECT_EQ(ProgramPath.substr(0, ProgramDir.size()), ProgramDir);
    EXPECT_EQ(ProgramPath.size(), module.size());
#ifdef _WIN32
    EXPECT_TRUE(platform::FileExists(ProgramPath));  // file names ignore case on Windows
#endif
    EndCommonUnit();
    EXPECT_TRUE(ProgramPath.empty() && ProgramName.empty() && ProgramDir.empty());
}

}  // namespace
