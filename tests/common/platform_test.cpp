// Tests of the platform seam: locale comparison, code page, UTF-8, day counts and files.
#include "common/platform.h"
#include "tests/support/file_fault.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(Platform, CompareTextIgnoresCaseUnlessAsked) {
    struct Case {
        std::u16string a, b;
        int insensitive, sensitive;
    };
    const Case cases[] = {
        {u"", u"", 0, 0},
        {u"", u"a", -1, -1},
        {u"a", u"", 1, 1},
        {u"abc", u"ABC", 0, -1},
        {u"ABC", u"abc", 0, 1},
        {u"äpfel", u"ÄPFEL", 0, -1},
        {u"Ёж", u"ёж", 0, 1},
        {u"apple", u"Banana", -1, -1},
        {u"Apple", u"banana", -1, -1},
        {u"key", u"key1", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.a) + " vs " + platform::ToUtf8(c.b));
        EXPECT_EQ(sign(platform::CompareText(c.a, c.b, false)), c.insensitive);
        EXPECT_EQ(sign(platform::CompareText(c.a, c.b, true)), c.sensitive);
    }
}

TEST(Platform, CaseMapping) {
    EXPECT_EQ(platform::MapCase(u"Straße Öl ёж", true), u"STRAßE ÖL ЁЖ");
    EXPECT_EQ(platform::MapCase(u"ÄÖÜ ЁЖ ABC", false), u"äöü ёж abc");
    EXPECT_EQ(platform::MapCase(u"", true), u"");
    EXPECT_EQ(platform::CharUpper(u'ä'), u'Ä');
    EXPECT_EQ(platform::CharUpper(u'z'), u'Z');
    EXPECT_EQ(platform::CharUpper(u'1'), u'1');
    EXPECT_EQ(platform::CharUpper(u'я'), u'Я');
}

TEST(Platform, AnsiRoundTrip) {
    if (platform::AnsiCodePage() != 1252) GTEST_SKIP() << "code page " << platform::AnsiCodePage();
    const std::string bytes = "Gr\xFC\xDF \x80 \x93x\x94 \x9F\xFF";
    const std::u16string text = u"Grüß € “x” Ÿÿ";
    EXPECT_EQ(platform::AnsiToText(bytes), text);
    EXPECT_EQ(platform::TextToAnsi(text), bytes);
    EXPECT_EQ(platform::TextToAnsi(u"Ж"), "?");
    EXPECT_EQ(platform::AnsiToText(""), u"");
    EXPECT_EQ(platform::TextToAnsi(u""), "");
}

TEST(Platform, Utf8BothWays) {
    const std::u16string text = u"aä€\U0001F600";
    const std::string bytes = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(platform::ToUtf8(text), bytes);
    EXPECT_EQ(platform::FromUtf8(bytes), text);
    // Broken input is replaced, never dropped silently or read past its end.
    EXPECT_EQ(platform::FromUtf8("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(platform::FromUtf8("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(platform::FromUtf8("\xE2\x82" "b"), u"\uFFFDb");
    EXPECT_EQ(platform::FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(platform::FromUtf8("\xED\xA0\x80"), u"\uFFFD");
    EXPECT_EQ(platform::ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(Platform, DayCounts) {
    EXPECT_EQ(platform::EncodeLocalDays(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_EQ(platform::EncodeLocalDays(1970, 1, 1, 0, 0, 0, 0), 25569.0);
    EXPECT_EQ(platform::EncodeLocalDays(2000, 2, 29, 18, 0, 0, 0), 36585.75);
    EXPECT_EQ(platform::EncodeLocalDays(1899, 12, 29, 6, 0, 0, 0), -1.25);
    const double now = platform::Now();
    EXPECT_GT(now, platform::EncodeLocalDays(2020, 1, 1, 0, 0, 0, 0));
    EXPECT_LT(now, platform::EncodeLocalDays(2200, 1, 1, 0, 0, 0, 0));
}

class PlatformFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FRoot = std::filesystem::temp_directory_path() /
                (std::string("tess-platform-") + info->name() + "-" + std::to_string(std::rand()));
        std::filesystem::create_directories(FRoot);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(FRoot, ec);
    }
    std::u16string path(const std::string& name) const { return (FRoot / name).u16string(); }
    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(FRoot), {}));
    }

    std::filesystem::path FRoot;
};

TEST_F(PlatformFiles, AtomicWriteReplacesContentAndLeavesNoTemporaryFile) {
    const std::u16string file = path("settings.ini");
    std::string bytes;
    EXPECT_FALSE(platform::ReadFileBytes(file, bytes));
    ASSERT_TRUE(platform::WriteFileAtomic(file, "first version, rather long"));
    ASSERT_TRUE(platform::WriteFileAtomic(file, "second"));
    ASSERT_TRUE(platform::ReadFileBytes(file, bytes));
    EXPECT_EQ(bytes, "second");
    ASSERT_TRUE(platform::WriteFileAtomic(file, ""));
    ASSERT_TRUE(platform::ReadFileBytes(file, bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(entryCount(), 1u);

    // A target that cannot be replaced: the folder stays as it was.
    ASSERT_TRUE(platform::CreateFolders(path("dir")));
    EXPECT_FALSE(platform::WriteFileAtomic(path("dir"), "x"));
    EXPECT_FALSE(platform::WriteFileAtomic(path("missing/x.ini"), "x"));
    EXPECT_EQ(entryCount(), 2u);
}

// Holds a file the way a save under way in another process holds its temporary file: on
// Windows shared with nobody, on POSIX locked.
class SaveUnderWay {
public:
    explicit SaveUnderWay(const std::filesystem::path& p) {
#ifdef _WIN32
        FHandle = CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
        FFd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        FHeld = FFd >= 0 && ::flock(FFd, LOCK_EX | LOCK_NB) == 0;
#endif
    }
    ~SaveUnderWay() {
#ifdef _WIN32
        if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
#else
        if (FFd >= 0) ::close(FFd);
#endif
    }
    SaveUnderWay(const SaveUnderWay&) = delete;
    SaveUnderWay& operator=(const SaveUnderWay&) = delete;
#ifdef _WIN32
    bool Held() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle;
#else
    bool Held() const { return FHeld; }

private:
    int FFd = -1;
    bool FHeld = false;
#endif
};

TEST_F(PlatformFiles, AtomicWriteReusesItsTemporaryFileAndYieldsToAnotherSave) {
    const std::u16string file = path("settings.ini");
    const std::filesystem::path temp = FRoot / "settings.ini.tmp~";
    ASSERT_TRUE(platform::WriteFileAtomic(file, "old"));
    std::string bytes;
    {
        const SaveUnderWay other(temp);
        ASSERT_TRUE(other.Held());
        EXPECT_FALSE(platform::WriteFileAtomic(file, "new"));
        ASSERT_TRUE(platform::ReadFileBytes(file, bytes));
        EXPECT_EQ(bytes, "old");
    }
    // What a save killed half-way leaves behind: the next save takes the file over.
    std::ofstream(temp, std::ios::binary) << "the longer content of a save that was cut short";
    ASSERT_TRUE(platform::WriteFileAtomic(file, "new"));
    ASSERT_TRUE(platform::ReadFileBytes(file, bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(entryCount(), 1u);
}

TEST_F(PlatformFiles, FileServices) {
    const std::u16string a = path("a.txt"), b = path("b.txt");
    EXPECT_FALSE(platform::FileExists(a));
    ASSERT_TRUE(platform::CreateEmptyFile(a));
    EXPECT_TRUE(platform::FileExists(a));
    EXPECT_FALSE(platform::FileExists(path("")));  // a folder is not a file

    double when = -1;
    ASSERT_TRUE(platform::FileTime(a, when));
    EXPECT_LT(std::abs(when - platform::Now()), 1.0 / 24);  // within the hour: clock skew only
    EXPECT_FALSE(platform::FileTime(path("none"), when));

    ASSERT_TRUE(platform::WriteFileAtomic(a, "0123456789"));
    std::string head;
    ASSERT_TRUE(platform::ReadFileHead(a, 3, head));
    EXPECT_EQ(head, "012");
    ASSERT_TRUE(platform::ReadFileHead(a, 100, head));
    EXPECT_EQ(head, "0123456789");

    ASSERT_TRUE(platform::CopyFileNoOverwrite(a, b));
    EXPECT_FALSE(platform::CopyFileNoOverwrite(a, b));
    std::string copied;
    ASSERT_TRUE(platform::ReadFileBytes(b, copied));
    EXPECT_EQ(copied, "0123456789");

    EXPECT_TRUE(platform::RemoveFile(b));
    EXPECT_FALSE(platform::RemoveFile(b));
    EXPECT_FALSE(platform::FileExists(b));
}

TEST_F(PlatformFiles, FoldersAndSearch) {
    const std::u16string sep(1, platform::PathSeparator());
    const std::u16string deep = path("x") + sep + u"y" + sep + u"z";
    EXPECT_TRUE(platform::CreateFolders(deep));
    EXPECT_TRUE(platform::CreateFolders(deep));  // already there
    ASSERT_TRUE(platform::CreateEmptyFile(path("File.TXT")));
    EXPECT_FALSE(platform::CreateFolders(path("File.TXT")));

    const auto one = platform::FindEntries(path("x"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, u"x");
    EXPECT_TRUE(one[0].isDirectory);

    bool sawFile = false, sawDir = false;
    for (const auto& e : platform::FindEntries(path("*.*"))) {
        if (e.name == u"File.TXT") sawFile = !e.isDirectory;
        if (e.name == u"x") sawDir = e.isDirectory;
    }
    EXPECT_TRUE(sawFile);
    EXPECT_TRUE(sawDir);

    const auto txt = platform::FindEntries(path("*.txt"));  // patterns ignore case
    ASSERT_EQ(txt.size(), 1u);
    EXPECT_EQ(txt[0].name, u"File.TXT");
    EXPECT_TRUE(platform::FindEntries(path("*.ini")).empty());
    EXPECT_TRUE(platform::FindEntries(path("none")).empty());
}

// Only "no such file" and "no such folder" mean that the file is missing; any other error
// leaves it unknown, and a caller must not take it for gone.
TEST_F(PlatformFiles, ProbeTellsMissingFromUnreachable) {
    using platform::FileState;
    const std::u16string file = path("here.ini");
    ASSERT_TRUE(platform::WriteFileAtomic(file, "k=v"));
    const std::u16string sep(1, platform::PathSeparator());
    struct Case {
        std::u16string path;
        FileState state;
    };
    std::vector<Case> cases = {
        {file, FileState::Present},
        {path("none.ini"), FileState::Missing},
        {path("none") + sep + u"x.ini", FileState::Missing},
        {file + sep + u"x.ini", FileState::Missing},  // a file where a folder should be
        {path(""), FileState::Unreachable},           // a folder where the file should be
    };
#ifdef _WIN32
    cases.push_back({u"\\\\no-such-server.invalid\\share\\x.ini", FileState::Unreachable});
    cases.push_back({path("a<b.ini"), FileState::Unreachable});
#else
    std::filesystem::create_symlink("loop", FRoot / "loop");
    cases.push_back({path("loop"), FileState::Unreachable});
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ProbeFile(c.path), c.state) << platform::ToUtf8(c.path);
        EXPECT_EQ(platform::FileExists(c.path), c.state == FileState::Present) << platform::ToUtf8(c.path);
    }

    // What the system may answer for a file that is there but cannot be reached.
    struct Injected {
        int error;
        FileState state;
    };
#ifdef _WIN32
    const Injected errors[] = {
        {ERROR_FILE_NOT_FOUND, FileState::Missing},   {ERROR_PATH_NOT_FOUND, FileState::Missing},
        {ERROR_ACCESS_DENIED, FileState::Unreachable}, {ERROR_SHARING_VIOLATION, FileState::Unreachable},
        {ERROR_BAD_NETPATH, FileState::Unreachable},   {ERROR_NOT_READY, FileState::Unreachable},
    };
#else
    const Injected errors[] = {
        {ENOENT, FileState::Missing},     {ENOTDIR, FileState::Missing}, {EACCES, FileState::Unreachable},
        {EIO, FileState::Unreachable},    {ESTALE, FileState::Unreachable},
    };
#endif
    std::string bytes;
    for (const Injected& e : errors) {
        SCOPED_TRACE(e.error);
        const testsupport::FileFaultScope fault(file, e.error);
        EXPECT_EQ(platform::ProbeFile(file), e.state);
        EXPECT_FALSE(platform::ReadFileBytes(file, bytes));
        double t = 0;
        EXPECT_FALSE(platform::FileTime(file, t));
        EXPECT_EQ(platform::ProbeFile(path("none.ini")), FileState::Missing);  // other paths as they are
    }
    EXPECT_TRUE(platform::ReadFileBytes(file, bytes));
    EXPECT_EQ(bytes, "k=v");
}

}  // namespace
