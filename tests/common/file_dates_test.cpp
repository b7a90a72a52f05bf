// Tests of file dates (a file with a known last-write time) and of command-line items.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/command_line.h"
#include "common/file_dates.h"
#include "common/wtext.h"

namespace {

std::string utf8(const std::u16string& s) {
    std::string r;
    for (const char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
}

// A folder of its own below the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t buf[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, buf);
        FPath = U(buf) + u"tess-dates-" + U(std::to_wstring(GetCurrentProcessId()).c_str());
        CreateDirectoryW(W(FPath), nullptr);
    }
    ~ScratchFolder() {
        for (const std::u16string& f : FFiles) DeleteFileW(W(f));
        RemoveDirectoryW(W(FPath));
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::u16string& path() const { return FPath; }
    // Creates a file whose last write is at the given local time.
    std::u16string file(const std::u16string& name, const SYSTEMTIME& local) {
        const std::u16string p = FPath + u"\\" + name;
        FFiles.push_back(p);
        const HANDLE h = CreateFileW(W(p), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        const FILETIME t = fileTimeOf(local);
        EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &t));
        CloseHandle(h);
        return p;
    }

    static FILETIME fileTimeOf(const SYSTEMTIME& local) {
        SYSTEMTIME utc = {};
        EXPECT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
        FILETIME t = {};
        EXPECT_TRUE(SystemTimeToFileTime(&utc, &t));
        return t;
    }

private:
    std::u16string FPath;
    std::vector<std::u16string> FFiles;
};

SYSTEMTIME localTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

TEST(FileDates, TextOfKnownLastWriteTimes) {
    ScratchFolder dir;
    struct Row {
        const char16_t* name;
        SYSTEMTIME local;
        const char16_t* date;
        const char16_t* dateTime;
    } const rows[] = {
        {u"winter.txt", localTime(2021, 1, 5, 7, 3, 9), u"05.01.21", u"05.01.21 07:03:09"},
        {u"summer.txt", localTime(2021, 7, 14, 15, 9, 26), u"14.07.21", u"14.07.21 15:09:26"},
        {u"old.txt", localTime(1999, 12, 31, 23, 59, 58), u"31.12.99", u"31.12.99 23:59:58"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.name));
        const std::u16string path = dir.file(row.name, row.local);
        std::u16string s = u"sentinel";
        FileDateText(path, true, s);
        EXPECT_EQ(s, row.date);
        FileDateText(path, false, s);
        EXPECT_EQ(s, row.dateTime);
        FILETIME t = {0xcccccccc, 0xcccccccc};
        FileWriteTime(path, t);
        const FILETIME expected = ScratchFolder::fileTimeOf(row.local);
        EXPECT_EQ(t.dwLowDateTime, expected.dwLowDateTime);
        EXPECT_EQ(t.dwHighDateTime, expected.dwHighDateTime);
    }
}

TEST(FileDates, FoldersMissingFilesAndPatternsHaveNoDate) {
    ScratchFolder dir;
    dir.file(u"present.txt", localTime(2020, 2, 29, 12, 0, 0));
    for (const std::u16string& path : {dir.path(), dir.path() + u"\\", dir.path() + u"\\missing.txt",
                                       dir.path() + u"\\*.txt", dir.path() + u"\\present.tx?", std::u16string()}) {
        SCOPED_TRACE(utf8(path));
        FILETIME t = {0xcccccccc, 0xcccccccc};
        FileWriteTime(path, t);
        EXPECT_EQ(t.dwLowDateTime, 0u);
        EXPECT_EQ(t.dwHighDateTime, 0u);
        std::u16string s = u"sentinel";
        FileDateText(path, false, s);
        EXPECT_EQ(s, u"");
    }
}

TEST(FileDates, FormatLetters) {
    const FILETIME t = ScratchFolder::fileTimeOf(localTime(2007, 3, 4, 5, 6, 7));
    struct Row {
        const char16_t* format;
        const char16_t* text;
    } const rows[] = {
        {u"dd.mm.yy", u"04.03.07"},
        {u"DD.MM.YY HH:NN:SS", u"04.03.07 05:06:07"},
        {u"yyyy-mm-dd", u"2007-03-04"},
        {u"[hh:nn]", u"[05:06]"},
        {u"d m y", u"d m y"},
        {u"", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.format));
        std::u16string s = u"sentinel";
        FileTimeToText(t, row.format, s);
        EXPECT_EQ(s, row.text);
    }
}

TEST(CommandLine, ItemsOfACommandLine) {
    struct Row {
        const char16_t* line;
        int index;
        const char16_t* item;
    } const rows[] = {
        {u"prog.exe  \"a b\" c", 0, u"prog.exe"},
        {u"prog.exe  \"a b\" c", 1, u"a b"},
        {u"prog.exe  \"a b\" c", 2, u"c"},
        {u"prog.exe  \"a b\" c", 3, u""},
        {u"prog.exe  \"a b\" c", 99, u""},
        {u"prog.exe  \"a b\" c", -1, u""},
        {u"\"C:\\Program Files\\Tess\\tess.exe\" -x", 0, u"C:\\Program Files\\Tess\\tess.exe"},
        {u"\"C:\\Program Files\\Tess\\tess.exe\" -x", 1, u"-x"},
        {u"prog.exe", 1, u""},
        {u"prog.exe \"\" b", 1, u"b"},
        {u"", 0, u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.line) + " #" + std::to_string(row.index));
        EXPECT_EQ(commandLineItemOf(row.line, row.index), row.item);
    }
}

TEST(CommandLine, ItemsOfThisProcess) {
    wchar_t module[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH + 1), 0u);
    std::u16string s = u"sentinel";
    CommandLineItem(0, s);
    EXPECT_EQ(s, U(module));

    // The system's own splitting agrees for the plain arguments a test run gets.
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    ASSERT_NE(argv, nullptr);
    for (int i = 1; i <= argc; ++i) {
        SCOPED_TRACE(i);
        CommandLineItem(i, s);
        EXPECT_EQ(s, i < argc ? U(argv[i]) : std::u16string());
    }
    LocalFree(argv);
    CommandLineItem(-1, s);
    EXPECT_EQ(s, u"");
}

}  // namespace
