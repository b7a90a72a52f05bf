// The start-up trace and the run-time look-ups of later Windows functions and lazily loaded libraries.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "common/later_windows.h"
#include "common/lazy_library.h"
#include "common/startup_trace.h"

namespace {

std::string fileText(const std::wstring& path) {
    std::string text;
    if (std::FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

// The trace reads its variable once per process, so one test walks through its whole life.
TEST(StartupTrace, WritesTimedStepsAfterTheCreationLineOnceItEnds) {
    wchar_t folder[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring path = std::wstring(folder) + L"tess_startup_trace_test.txt";
    DeleteFileW(path.c_str());
    ASSERT_TRUE(SetEnvironmentVariableW(L"TESS_STARTUP_TRACE", path.c_str()));

    const std::int64_t before = UnixTimeNs();
    ASSERT_TRUE(StartupTraceOn());
    TraceStartup("first step");
    TraceStartup("cells %d wide, %ls", 31, L"bold");
    EXPECT_EQ(fileText(path), "") << "nothing is written before the trace ends";
    EndStartupTrace();
    const std::string text = fileText(path);

    const std::regex form("process created (\\d+)\r\n"
                          " *(\\d+\\.\\d{3}) ms  first step\r\n"
                          " *(\\d+\\.\\d{3}) ms  cells 31 wide, bold\r\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, form)) << text;
    const std::int64_t created = std::stoll(m[1]);
    EXPECT_LT(created, before) << "the process was created before this test ran";
    const double first = std::stod(m[2]);
    EXPECT_LE(first, std::stod(m[3]));
    EXPECT_GE(created + static_cast<std::int64_t>(first * 1e6), before - 1'000'000) << "steps are timed from the creation";

    TraceStartup("after the end");
    EndStartupTrace();
    EXPECT_FALSE(StartupTraceOn());
    EXPECT_EQ(fileText(path), text) << "an ended trace writes nothing more";
    DeleteFileW(path.c_str());
    SetEnvironmentVariableW(L"TESS_STARTUP_TRACE", nullptr);
}

TEST(LaterWindows, FindsWhatTheSystemHasAndAnswersNullForTheRest) {
    EXPECT_NE(LaterFunction<decltype(&GetTickCount64)>(L"kernel32", "GetTickCount64"), nullptr);
    EXPECT_EQ(LaterFunction<decltype(&GetTickCount64)>(L"kernel32", "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(LaterFunction<decltype(&GetTickCount64)>(L"no_such_module.dll", "GetTickCount64"), nullptr);

    FILETIME coarse{};
    GetSystemTimeAsFileTime(&coarse);
    const std::uint64_t ticks = SystemTimeTicks();
    const std::uint64_t system = (static_cast<std::uint64_t>(coarse.dwHighDateTime) << 32) | coarse.dwLowDateTime;
    EXPECT_GE(ticks + 20'0000, system) << "within 20 ms of the system clock";
    EXPECT_LE(ticks, system + 20'0000);
}

TEST(LazyLibrary, LoadsASystemLibraryAtTheFirstLookUp) {
    EXPECT_NE(LazyFunction<decltype(&sndPlaySoundW)>(L"winmm.dll", "sndPlaySoundW"), nullptr);
    EXPECT_NE(GetModuleHandleW(L"winmm.dll"), nullptr);
    EXPECT_EQ(LazyFunction<decltype(&sndPlaySoundW)>(L"winmm.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(LazyFunction<decltype(&sndPlaySoundW)>(L"no_such_library.dll", "sndPlaySoundW"), nullptr);
}

}  // namespace
