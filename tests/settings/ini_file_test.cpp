// Tests of TIni: encodings, the line-by-line fallback, saving, reloading and the ten-second rule.
#include "settings/ini_file.h"
#include "tests/support/file_fault.h"
#include "tests/support/test_seed.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/exceptions.h"
#include "common/msgbox.h"
#include "common/platform.h"

#ifdef _WIN32
#include <windows.h>

#include "common/wtext.h"
#endif

namespace {

namespace fs = std::filesystem;

constexpr double oneSecond = 1.0 / 86400.0;

std::string encoded(std::u16string_view text, TTextEncoding e) {
    std::string bytes(Preamble(e));
    AppendEncoded(bytes, text, e);
    return bytes;
}

using testsupport::testSeed;

// Records what reaches the message box instead of showing it.
class RecordingBox : public TMsgBox {
public:
    int Info(const std::u16string& msg) override {
        messages.push_back(msg);
        return 1;
    }
    std::vector<std::u16string> messages;
};

// Each test gets an empty folder of its own and its own message box.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Unique per run: several builds may run these tests at the same time.
        FDir = fs::temp_directory_path() /
               ("tess_ini_" + std::string(info->name()) + "_" + std::to_string(std::random_device{}()));
        fs::remove_all(FDir);
        fs::create_directories(FDir);
        FSavedBox = std::move(MsgBox);
        MsgBox = std::make_unique<RecordingBox>();
    }
    void TearDown() override {
        MsgBox = std::move(FSavedBox);
        std::error_code ec;
        fs::remove_all(FDir, ec);
    }

    std::u16string path(std::string_view name) const { return (FDir / name).u16string(); }
    void put(const std::u16string& file, std::string_view bytes) const {
        ASSERT_TRUE(platform::WriteFileAtomic(file, bytes));
    }
    std::string get(const std::u16string& file) const {
        std::string bytes;
        return platform::ReadFileBytes(file, bytes) ? bytes : "<missing>";
    }
    // Moves the file's last-write time by the given hours, as another program's write would.
    void touch(const std::u16string& file, int hours) const {
        fs::last_write_time(fs::path(file), fs::last_write_time(fs::path(file)) + std::chrono::hours(hours));
    }
    RecordingBox& box() const { return static_cast<RecordingBox&>(*MsgBox); }

    fs::path FDir;
    std::unique_ptr<TMsgBox> FSavedBox;
};

// A handler that records the reported line numbers.
struct Reported {
    std::vector<std::int32_t> lines;
    TEncodingErrorHandler handler() {
        return [this](TIni&, std::int32_t n) { lines.push_back(n); };
    }
};

TEST_F(IniFileTest, EncodingsAreDetectedReadAndWrittenBack) {
    const std::u16string text = u"a=1\r\n\r\n[S]\r\nk=\u00E9\u20AC \u041F \U0001F600\r\n\r\n";
    const std::u16string after = u"a=1\r\n\r\n[S]\r\nk=\u00E9\u20AC \u041F \U0001F600\r\nnew=x\r\n\r\n";
    struct Case {
        TTextEncoding fileEncoding;
        std::optional<TTextEncoding> detected;
    };
    const Case cases[] = {
        {TTextEncoding::Utf8, TTextEncoding::Utf8},
        {TTextEncoding::Utf16LE, TTextEncoding::Utf16LE},
        {TTextEncoding::Utf16BE, TTextEncoding::Utf16BE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fileEncoding));
        const std::u16string file = path("enc.ini");
        put(file, encoded(text, c.fileEncoding));
        {
            TIni ini(file);
            EXPECT_EQ(ini.Encoding(), c.detected);
            EXPECT_EQ(ini.ReadString(u"s", u"K", u""), u"\u00E9\u20AC \u041F \U0001F600");
            ini.WriteString(u"S", u"new", u"x");
            ini.Save();
        }
        EXPECT_EQ(get(file), encoded(after, c.fileEncoding));
        EXPECT_TRUE(box().messages.empty());
    }
    // Without a mark the ANSI code page is read, Encoding stays unset and the save adds no mark.
    const std::u16string file = path("ansi.ini");
    put(file, "a=1\r\n\r\n[S]\r\nk=v\r\n\r\n");
    {
        TIni ini(file);
        EXPECT_EQ(ini.Encoding(), std::nullopt);
        ini.WriteString(u"S", u"new", u"x");
    }
    EXPECT_EQ(get(file), "a=1\r\n\r\n[S]\r\nk=v\r\nnew=x\r\n\r\n");
    // A document created for UTF-8 reads a file without a mark as UTF-8 and writes the mark.
    put(file, "k=\xC3\xA9\r\n");
    {
        TIni ini(file, TTextEncoding::Utf8, nullptr, nullptr);
        EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"\u00E9");
        ini.WriteString(u"", u"k", u"\u00E8");
    }
    EXPECT_EQ(get(file), "\xEF\xBB\xBFk=\xC3\xA8\r\n\r\n");
}

// Every malformed UTF-8 sequence sends its line through the ANSI code page, and the last bad
// line is reported once, before the lines are parsed.
TEST_F(IniFileTest, InvalidUtf8FallsBackToAnsiLineByLine) {
    const char* const rejects[] = {
        "\xE4",              "\x80",         "\xC0\xAF",     "\xE0\x80\xAF", "\xF0\x80\x80\xAF",
        "\xED\xA0\x80",      "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF",
        "x\xC3",             "\xE2\x82",     "\xF0\x9F\x98", "\xC3(",
    };
    for (const char* bad : rejects) {
        SCOPED_TRACE(testing::PrintToString(std::string(bad)));
        const std::u16string file = path("bad.ini");
        put(file, std::string("\xEF\xBB\xBF" "a=\xC3\xA9\r\nb=") + bad + "\r\nc=3\r\n");
        Reported reported;
        TIni ini(file, TTextEncoding::Utf8, reported.handler(), nullptr);
        EXPECT_EQ(reported.lines, std::vector<std::int32_t>{2});
        EXPECT_EQ(ini.ReadString(u"", u"a", u""), u"\u00E9");
        EXPECT_EQ(ini.ReadString(u"", u"b", u""), platform::AnsiToText(bad));
        EXPECT_EQ(ini.ReadString(u"", u"c", u""), u"3");
        EXPECT_FALSE(ini.Modified());
    }
    struct Case {
        std::string bytes;
        std::int32_t lastBad;
        std::u16string lastValue;
    };
    const Case cases[] = {
        {"a=1\r\nb=\xE4\r\nc=1\r\nd=1\r\ne=\xE4\r\nf=1", 5, u"1"},
        {"a=\xE4\nb=1\rc=\xE4", 3, platform::AnsiToText("\xE4")},  // bare LF, bare CR, no last line end
        {"\r\n\n\rx=\xE4", 4, platform::AnsiToText("\xE4")},  // empty lines count too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        const std::u16string file = path("lines.ini");
        put(file, c.bytes);
        Reported reported;
        TIni ini(file, TTextEncoding::Utf8, reported.handler(), nullptr);
        EXPECT_EQ(reported.lines, std::vector<std::int32_t>{c.lastBad});
        TStringList lines;
        ini.ReadSectionLines(u"", lines, true);
        ASSERT_GT(lines.Count(), 0);
        const std::u16string& last = lines.Strings(lines.Count() - 1);
        EXPECT_EQ(last.substr(last.find(u'=') + 1), c.lastValue);
    }
}

TEST_F(IniFileTest, InvalidUtf16KeepsTheGoodUnitsOfABadLine) {
    const std::u16string file = path("utf16.ini");
    std::string bytes = encoded(u"a=1\r\nb=2\r\n", TTextEncoding::Utf16LE);
    bytes += std::string("c\0=\0\x00\xD8x\0\r\0\n\0d\0=\0" "4\0" "e", 19);  // lone surrogate, odd last byte
    put(file, bytes);
    Reported reported;
    TIni ini(file, std::nullopt, reported.handler(), nullptr);
    EXPECT_EQ(reported.lines, std::vector<std::int32_t>{4});
    EXPECT_EQ(ini.Encoding(), TTextEncoding::Utf16LE);
    EXPECT_EQ(ini.ReadString(u"", u"b", u""), u"2");
    EXPECT_EQ(ini.ReadString(u"", u"c", u""), u"\uFFFDx");
    EXPECT_EQ(ini.ReadString(u"", u"d", u""), u"4\uFFFD");
}

TEST_F(IniFileTest, DefaultHandlerTellsTheMessageBox) {
    const std::u16string file = path("msg.ini");
    put(file, "a=\xE4\r\nb=1\r\n");
    {
        TIni ini(file, TTextEncoding::Utf8, nullptr, nullptr);
        ASSERT_EQ(box().messages.size(), 1u);
        EXPECT_EQ(box().messages[0],
                  u"Die Datei \r" + file + u"\r enth\u00E4lt in Zeile 1 ein nicht interpretierbares Zeichen.");
        EXPECT_EQ(ini.ReadString(u"", u"b", u""), u"1");
    }
    // The plain message box raises, but only once the file's lines are in: a save after the
    // report must not write an emptied document over the file.
    MsgBox = std::make_unique<TMsgBox>();
    EXPECT_THROW(TIni(file, TTextEncoding::Utf8, nullptr, nullptr), Exception);
    TIni ini(u"");
    ini.SetEncoding(TTextEncoding::Utf8);
    ini.WriteString(u"S", u"k", u"v");
    EXPECT_THROW(ini.LoadFromFile(file), Exception);
    EXPECT_EQ(ini.ReadString(u"S", u"k", u"gone"), u"gone");
    EXPECT_EQ(ini.ReadString(u"", u"b", u""), u"1");
}

TEST_F(IniFileTest, SavesOnlyPendingChangesAndDeletesTheFileOfAnEmptyDocument) {
    const std::u16string file = path("save.ini");
    put(file, "k=v\r\n\r\n");
    {
        TIni ini(file);
        put(file, "changed=elsewhere\r\n");
        ini.Save();  // nothing pending: the file stays as it is
        EXPECT_EQ(get(file), "changed=elsewhere\r\n");
    }
    EXPECT_EQ(get(file), "changed=elsewhere\r\n");  // nor does the destructor write
    {
        TIni ini(file);
        ini.WriteString(u"", u"changed", u"here");
        EXPECT_TRUE(ini.Modified());
    }
    EXPECT_EQ(get(file), "changed=here\r\n\r\n");
    {
        TIni ini(file);
        ini.WriteString(u"", u"changed", u"");
        ini.WriteString(u"S", u"comment", u"");
        ini.Save();
        EXPECT_FALSE(ini.Modified());
        EXPECT_FALSE(platform::FileExists(file));
        EXPECT_EQ(ini.FileTime(), 0);
    }
    EXPECT_FALSE(platform::FileExists(file));
}

TEST_F(IniFileTest, SaveToFileAndChangeFileName) {
    const std::u16string file = path("own.ini"), other = path("other.ini"), renamed = path("sub/renamed.ini");
    put(file, "k=v\r\n");
    TIni ini(file);
    ini.WriteString(u"", u"k", u"w");
    ini.SaveToFile(other, TTextEncoding::Utf8);
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.FileName(), file);
    EXPECT_EQ(ini.Encoding(), TTextEncoding::Utf8);
    EXPECT_EQ(get(other), "\xEF\xBB\xBFk=w\r\n\r\n");
    EXPECT_EQ(get(file), "k=v\r\n");
    EXPECT_EQ(ini.FileTime(), FileTimeOf(file));

    ini.ChangeFileName(renamed);
    EXPECT_TRUE(ini.Modified());
    ini.Save();  // creates the missing folder too
    EXPECT_EQ(get(renamed), "\xEF\xBB\xBFk=w\r\n\r\n");

    // Loading another file than the document's own marks the content as pending.
    ini.LoadFromFile(file);
    EXPECT_TRUE(ini.Modified());
    ini.Save();
    EXPECT_EQ(get(renamed), "\xEF\xBB\xBFk=v\r\n\r\n");
    ini.LoadFromFile(renamed);
    EXPECT_FALSE(ini.Modified());
}

TEST_F(IniFileTest, TenSecondRuleSavesOnReadsOfOldChanges) {
    const std::u16string file = path("ten.ini");
    put(file, "k=0\r\n");
    struct Case {
        double age;  // of the recorded file time when the read comes
        bool saves;
    };
    for (const Case c : {Case{5 * oneSecond, false}, Case{11 * oneSecond, true}, Case{1.0, true}}) {
        SCOPED_TRACE(c.age * 86400);
        TIni ini(file);
        const double loaded = ini.FileTime();
        ASSERT_GT(loaded, 0);
        ini.SetClock([&] { return loaded + c.age; });
        ini.WriteInteger(u"", u"k", 1);  // the write itself finds nothing pending
        EXPECT_TRUE(ini.Modified());
        TStringList lines;
        ini.ReadSectionLines(u"", lines, true);  // not subject to the rule
        EXPECT_TRUE(ini.Modified());
        EXPECT_EQ(ini.ReadInteger(u"", u"k", -1), 1);
        EXPECT_EQ(ini.Modified(), !c.saves);
        EXPECT_EQ(get(file), c.saves ? "k=1\r\n\r\n" : "k=0\r\n");
        ini.WriteInteger(u"", u"k", 0);
        ini.Save();
    }
    // Without a file (time 0) and after ReadFromString (time -1) the first read saves at once.
    const std::u16string fresh = path("fresh.ini");
    TIni ini(fresh);
    ini.WriteString(u"", u"a", u"1");
    EXPECT_EQ(ini.ReadString(u"", u"a", u""), u"1");
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(get(fresh), "a=1\r\n\r\n");
    ini.ReadFromString(u"b=2");
    EXPECT_EQ(ini.FileTime(), -1);
    ini.WriteString(u"", u"b", u"3");
    ini.ReadBool(u"", u"b", false);
    EXPECT_EQ(get(fresh), "b=3\r\n\r\n");
}

TEST_F(IniFileTest, MaintainReloadsAFileChangedOnDisk) {
    const std::u16string file = path("maintain.ini");
    put(file, "k=1\r\n");
    TIni ini(file);
    put(file, "k=2\r\n");
    touch(file, 1);
    ini.Maintain();
    EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"2");
    EXPECT_FALSE(ini.Modified());

    // With changes pending, Maintain writes them instead.
    ini.WriteString(u"", u"k", u"3");
    ini.Maintain();
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(get(file), "k=3\r\n\r\n");

    // A deleted file leaves the document as it is.
    ASSERT_TRUE(platform::RemoveFile(file));
    ini.Maintain();
    EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"3");

    // AutoMaintain checks before every read.
    put(file, "k=4\r\n");
    touch(file, 3);  // written within the clock's tick of the save above, it could share its time
    ini.SetAutoMaintain(true);
    EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"4");
    put(file, "k=5\r\n");
    touch(file, 2);
    TStringList lines;
    ini.ReadSectionLines(u"", lines, true);
    ASSERT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines.Strings(0), u"k=5");
}

TEST_F(IniFileTest, FailedWritesRetryOnceAtTheStandByPath) {
    put(path("blocker"), "a file where a folder should be");
    const std::u16string blocked = path("blocker/sub/x.ini");
    int calls = 0;
    const auto standBy = [&](const std::u16string& fn) {
        ++calls;
        return fn == blocked ? path("standby/x.ini") : path("blocker/again.ini");
    };
    {
        TIni ini(blocked, TTextEncoding::Utf8, nullptr, standBy);
        ini.WriteString(u"", u"k", u"v");
        ini.Save();
        EXPECT_FALSE(ini.Modified());
        EXPECT_EQ(ini.FileName(), blocked);
        EXPECT_EQ(get(path("standby/x.ini")), "\xEF\xBB\xBFk=v\r\n\r\n");
    }
    {
        TIni ini(blocked, TTextEncoding::Utf8, nullptr, standBy);  // found at the stand-by path
        EXPECT_EQ(ini.FileName(), path("standby/x.ini"));
        EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"v");
    }
    // A stand-by path that fails as well is not retried again.
    calls = 0;
    {
        TIni ini(path("blocker/y.ini"), std::nullopt, nullptr, standBy);
        ini.WriteString(u"", u"k", u"v");
        ini.Save();
        EXPECT_EQ(calls, 2);  // once at creation, once for the retry
        EXPECT_TRUE(ini.Modified()) << "nothing reached a file: the changes stay pending";
    }
    // Without a virtualize function the failure stays silent, in Save and in the destructor,
    // and the changes stay pending for the next attempt.
    {
        TIni ini(blocked);
        ini.WriteString(u"", u"k", u"v");
        ini.Save();
        EXPECT_TRUE(ini.Modified());
        ini.WriteString(u"", u"k", u"w");
    }
    EXPECT_TRUE(box().messages.empty());
}

TEST_F(IniFileTest, ReadFromStringEndsHeadersAtTheFirstBracket) {
    TIni ini(u"");
    ini.ReadFromString(u";$C\r\n[a]b\nx=1\r[B]\ny=2");
    EXPECT_FALSE(ini.CaseSensitive());
    EXPECT_EQ(ini.ReadString(u"A", u"x", u""), u"1");
    EXPECT_EQ(ini.ReadString(u"b", u"y", u""), u"2");
    TStringList lines;
    ini.ReadSectionLines(u"", lines, true);
    EXPECT_EQ(lines.Text(), u";$C\r\n");

    TStringList list;
    list.SetText(u"[a]b\nx=1");
    ini.LoadFromList(list);
    EXPECT_EQ(ini.ReadString(u"a]b", u"x", u""), u"1");
    EXPECT_FALSE(ini.Modified());
    ini.Save();  // no file name: nothing is written
    EXPECT_FALSE(ini.Modified());
}

TEST_F(IniFileTest, AnsiReads) {
    TIni ini(u"");
    ini.ReadFromString(u"[S]\nn=$10\nt=text");
    EXPECT_EQ(ini.AnsiReadInteger("s", "N", 0), 16);
    EXPECT_EQ(ini.AnsiReadString("S", "t", "d"), "text");
    EXPECT_EQ(ini.AnsiReadString("S", "missing", "d"), "d");
}

// Whatever the bytes, loading ends in a document or in a reported failure, never a crash.
TEST_F(IniFileTest, GarbageInputNeverBreaksTheLoader) {
    const unsigned seed = testSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::string pieces[] = {"\r", "\n", "[", "]", "=", "'", ";", "$C", std::string(1, '\0'), "\xEF\xBB\xBF",
                                  "\xFF\xFE", "\xFE\xFF", "\xC3", "\xA9", "\xED\xA0\x80", "\x00\xD8", "k", "v", " "};
    const std::u16string file = path("garbage.ini");
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) {
            if (rng() % 4 == 0)
                bytes += static_cast<char>(rng() & 0xFF);
            else
                bytes += pieces[rng() % std::size(pieces)];
        }
        SCOPED_TRACE(testing::PrintToString(bytes));
        TIniStream doc;
        bool loaded = true;
        try {
            doc.LoadFromStream(bytes);
        } catch (const EEncodingError&) {
            loaded = false;
        }
        std::string out;
        doc.SaveToStream(out, doc.Encoding());
        // What the document writes reads again, unless ANSI text happens to begin with the
        // bytes of a byte order mark.
        if (loaded && (doc.Encoding() != TTextEncoding::Ansi || !EncodingFromPreamble(out))) {
            TIniStream again;
            EXPECT_NO_THROW(again.LoadFromStream(out));
        }
        // The file loader's decoding, from memory; a few rounds also go through a real file.
        for (const TTextEncoding e : {TTextEncoding::Utf8, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE}) {
            std::u16string text;
            TStringList lines;
            const bool whole = TryDecodeText(SkipPreamble(bytes, e), e, text);
            EXPECT_EQ(DecodeLinewise(bytes, e, lines) == -1, whole);
            if (whole) {
                TStringList direct;
                direct.SetText(text);
                EXPECT_EQ(direct.Text(), lines.Text());
            }
        }
        if (round % 200 == 0) {
            put(file, bytes);
            for (const auto e : {std::optional<TTextEncoding>(), std::optional(TTextEncoding::Utf8),
                                 std::optional(TTextEncoding::Utf16BE)}) {
                TIni ini(file, e, TIni::IgnoreOnErrorEncoding, nullptr);
                ini.WriteString(u"S", u"k", u"v");
                ini.SaveToFile(path("garbage.out"), std::nullopt);
            }
        }
    }
    // A very long line and a file of NULs.
    put(file, "k=" + std::string(1 << 20, 'x') + "\r\n" + std::string(64, '\0'));
    TIni ini(file, TTextEncoding::Utf8, nullptr, nullptr);
    EXPECT_EQ(ini.ReadString(u"", u"k", u"").size(), std::size_t{1} << 20);
    EXPECT_TRUE(box().messages.empty());
}

// A file given by name that is not there is an error, also the document's own: emptying the
// document would make the next save delete the player's file.
TEST_F(IniFileTest, LoadingAMissingFileIsAnErrorThatKeepsTheDocument) {
    const std::u16string own = path("own.ini");
    put(own, "k=v\r\n");
    TIni ini(own);
    const double loaded = ini.FileTime();
    ini.SetClock([&] { return loaded; });
    ini.WriteString(u"", u"n", u"1");
    put(path("file"), "in the way");
    for (const std::u16string& gone : {path("gone.ini"), path("gone/x.ini"), path("file/x.ini")}) {
        SCOPED_TRACE(platform::ToUtf8(gone));
        EXPECT_THROW(ini.LoadFromFile(gone), EOSError);
        EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"v");
        EXPECT_EQ(ini.ReadString(u"", u"n", u""), u"1");
        EXPECT_TRUE(ini.Modified());
        EXPECT_EQ(ini.FileTime(), loaded);
    }
    ASSERT_TRUE(platform::RemoveFile(own));
    EXPECT_THROW(ini.ReadFromFile(), EOSError);
    EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"v");
    ini.Save();
    EXPECT_EQ(get(own), "k=v\r\nn=1\r\n\r\n");
}

// A file that is there but cannot be reached (a roaming profile on a server that does not
// answer, no access) is not a missing file: the document starts empty, and nothing of this
// run may replace or delete the file.
TEST_F(IniFileTest, AnUnreachableFileIsNeitherReadNorWrittenOver) {
    const std::u16string file = path("Zib.ini");
    const std::string bytes = "k=v\r\n";
    put(file, bytes);
    double now = platform::Now();
    {
        testsupport::FileFaultScope fault(file, testsupport::AccessDeniedError);
        TIni ini(file);
        EXPECT_TRUE(ini.FileUnreadable());
        ini.SetClock([&] { return now; });
        EXPECT_EQ(ini.ReadString(u"", u"k", u"default"), u"default");
        ini.WriteString(u"", u"n", u"1");
        now += 1;  // a day later: a read would save at once
        EXPECT_EQ(ini.ReadString(u"", u"n", u""), u"1");
        ini.Save();
        ini.Maintain();
        EXPECT_TRUE(ini.Modified()) << "the changes stay pending, unsaved";
        ini.SaveToFile(path("elsewhere.ini"), std::nullopt);  // another file may be written
        EXPECT_EQ(get(path("elsewhere.ini")), "n=1\r\n\r\n");
        ini.WriteString(u"", u"n", u"");
        ini.Save();  // an empty document would delete its file
        ini.WriteString(u"", u"n", u"2");
        fault.End();
    }
    EXPECT_EQ(get(file), bytes);
    // Once the file can be read again, a document without changes takes it up.
    auto fault = std::make_unique<testsupport::FileFaultScope>(file, testsupport::AccessDeniedError);
    TIni ini(file);
    fault.reset();
    ini.Maintain();
    EXPECT_FALSE(ini.FileUnreadable());
    EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"v");
    ini.WriteString(u"", u"n", u"3");
    ini.Save();
    EXPECT_EQ(get(file), "k=v\r\nn=3\r\n\r\n");
}

// Counts the failed write attempts.
class CountingIni : public TIni {
public:
    using TIni::TIni;
    void SaveFailed() override {
        ++failures;
        TIni::SaveFailed();
    }
    int failures = 0;
};

// A save that failed is tried again at the next save point (Save, Maintain, the destructor),
// not at every read and write that follows.
TEST_F(IniFileTest, AFailedSaveWaitsForTheNextSavePoint) {
    double now = platform::Now();
    const auto blockedFile = [&](const char* blocker) {
        put(path(blocker), "a file where a folder should be");
        return path(blocker) + platform::PathSeparator() + u"Zib.ini";
    };
    const std::u16string file = blockedFile("blocker");
    {
        CountingIni ini(file);
        ini.SetClock([&] { return now; });
        ini.WriteInteger(u"", u"a", 0);
        EXPECT_EQ(ini.ReadInteger(u"", u"a", -1), 0);  // no file yet: the first read saves
        EXPECT_EQ(ini.failures, 1);
        EXPECT_TRUE(ini.LastSaveFailed());
        for (int i = 1; i <= 10; ++i) {
            now += 1.0 / 24;
            ini.WriteInteger(u"", u"a", i);
            EXPECT_EQ(ini.ReadInteger(u"", u"a", -1), i);
        }
        EXPECT_EQ(ini.failures, 1);
        EXPECT_TRUE(ini.Modified());
        ini.Save();
        ini.Maintain();
        EXPECT_EQ(ini.failures, 3);

        // The way is free again: reads still wait, the next save point writes.
        ASSERT_TRUE(platform::RemoveFile(path("blocker")));
        now += 1;
        EXPECT_EQ(ini.ReadInteger(u"", u"a", -1), 10);
        EXPECT_FALSE(platform::FileExists(file));
        ini.Save();
        EXPECT_FALSE(ini.Modified());
        EXPECT_FALSE(ini.LastSaveFailed());
        EXPECT_EQ(get(file), "a=10\r\n\r\n");
        // After a save that worked, old changes are written by a read again.
        ini.WriteInteger(u"", u"a", 11);
        now += 1;
        ini.ReadInteger(u"", u"a", -1);
        EXPECT_EQ(get(file), "a=11\r\n\r\n");
        EXPECT_EQ(ini.failures, 3);
    }
    // The destructor is the last save point.
    const std::u16string last = blockedFile("blocker2");
    {
        CountingIni ini(last);
        ini.WriteInteger(u"", u"a", 1);
        ini.Save();
        EXPECT_EQ(ini.failures, 1);
        ASSERT_TRUE(platform::RemoveFile(path("blocker2")));
    }
    EXPECT_EQ(get(last), "a=1\r\n\r\n");

    // A failed save to another name leaves a saved document saved and a changed one changed.
    TIni ini(file);
    const std::u16string backup = blockedFile("blocker3");
    for (const bool changed : {false, true}) {
        if (changed) ini.WriteInteger(u"", u"a", 12);
        ini.SaveToFile(backup, std::nullopt);
        EXPECT_EQ(ini.Modified(), changed);
        EXPECT_FALSE(ini.LastSaveFailed()) << "only saves of the document's own file count";
    }
}

TEST_F(IniFileTest, AByteOrderMarkWinsOverTheEncodingTheDocumentWasGiven) {
    // An editor may save the file as UTF-16; the document made for UTF-8 still reads it and
    // converts it at the next save.
    for (const TTextEncoding e : {TTextEncoding::Utf16LE, TTextEncoding::Utf16BE}) {
        SCOPED_TRACE(static_cast<int>(e));
        const std::u16string file = path("marked.ini");
        put(file, encoded(u"k=v\r\n[S]\r\nx=\u00E4\u0416\r\n", e));
        TIni ini(file, TTextEncoding::Utf8, nullptr, nullptr);
        EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"v");
        EXPECT_EQ(ini.ReadString(u"S", u"x", u""), u"\u00E4\u0416");
        EXPECT_TRUE(box().messages.empty());
        ini.WriteString(u"", u"k", u"w");
        ini.Save();
        EXPECT_EQ(get(file), "\xEF\xBB\xBFk=w\r\n\r\n[S]\r\nx=\xC3\xA4\xD0\x96\r\n\r\n");
    }
}

#ifdef _WIN32
// A file that exists but cannot be opened: an explicit load raises; a document made for it
// starts empty and leaves the file alone.
TEST_F(IniFileTest, ALockedFileIsNotReadAndNotWrittenOver) {
    const std::u16string file = path("locked.ini");
    put(file, "k=v\r\n");
    TIni loaded(file);
    {
        const HANDLE h = CreateFileW(W(file), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        {
            TIni ini(file);
            EXPECT_EQ(ini.ReadString(u"", u"k", u"default"), u"default");
            ini.WriteString(u"", u"k", u"lost");
            CloseHandle(h);  // readable again, but this run read nothing from it
            ini.Save();
        }
        EXPECT_EQ(get(file), "k=v\r\n");
    }
    const HANDLE h = CreateFileW(W(file), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    // A reload that cannot read must not empty the document, or a save would wipe the file.
    EXPECT_THROW(loaded.ReadFromFile(), EOSError);
    CloseHandle(h);
    EXPECT_EQ(loaded.ReadString(u"", u"k", u""), u"v");
    loaded.WriteString(u"", u"n", u"1");
    loaded.Save();
    EXPECT_EQ(get(file), "k=v\r\nn=1\r\n\r\n");
}

// Opens a file the way another program may have it open for a moment: a second instance of an
// older build, a sync tool or a virus scanner.
class OpenElsewhere {
public:
    OpenElsewhere(const std::u16string& file, DWORD access, DWORD share)
        : FHandle(CreateFileW(W(file), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OpenElsewhere() { Close(); }
    OpenElsewhere(const OpenElsewhere&) = delete;
    OpenElsewhere& operator=(const OpenElsewhere&) = delete;
    bool Held() const { return FHandle != INVALID_HANDLE_VALUE; }
    void Close() {
        if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE FHandle;
};

// The document's reads share the file for deleting too: a program that is replacing or
// deleting it at that moment does not make the read fail, nor the read its work.
TEST_F(IniFileTest, ReadsShareTheFileWithEveryone) {
    const std::u16string file = path("shared.ini");
    put(file, "\xEF\xBB\xBFk=v\r\n");
    const OpenElsewhere other(file, GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(other.Held());
    std::string head;
    EXPECT_TRUE(platform::ReadFileHead(file, 3, head));
    TIni ini(file);
    EXPECT_FALSE(ini.FileUnreadable());
    EXPECT_EQ(ini.ReadString(u"", u"k", u""), u"v");
    EXPECT_EQ(ini.Encoding(), TTextEncoding::Utf8);
}

// A file that another program has open cannot be replaced for that moment; the save tries
// again for a short while. When the file stays open, the save fails cleanly: the file as it
// was, no temporary file left, the changes pending for the next save point.
TEST_F(IniFileTest, ASaveWaitsForAFileOpenElsewhere) {
    const std::u16string file = path("Zib.ini"), temp = file + u".tmp~";
    put(file, "k=0\r\n");
    TIni ini(file);
    for (const DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE},
                              DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        SCOPED_TRACE(share);
        OpenElsewhere other(file, GENERIC_READ, share);
        ASSERT_TRUE(other.Held());
        // Closed soon after this save has its new file ready, as a quick reader would.
        std::thread closer([&] {
            for (int i = 0; i < 20000 && GetFileAttributesW(W(temp)) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(1);
            Sleep(100);
            other.Close();
        });
        ini.WriteInteger(u"", u"k", static_cast<std::int32_t>(share));
        ini.Save();
        closer.join();
        EXPECT_FALSE(ini.Modified());
        EXPECT_EQ(get(file), "k=" + std::to_string(share) + "\r\n\r\n");
    }
    {
        const OpenElsewhere other(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(other.Held());
        ini.WriteInteger(u"", u"k", 99);
        ini.Save();
        EXPECT_TRUE(ini.Modified());
        EXPECT_TRUE(ini.LastSaveFailed());
        EXPECT_FALSE(platform::FileExists(temp));
    }
    EXPECT_EQ(get(file), "k=7\r\n\r\n");
    ini.Save();
    EXPECT_EQ(get(file), "k=99\r\n\r\n");
}
#endif

}  // namespace
