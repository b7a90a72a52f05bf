// Tests of the text, number and path helpers.
#include "common/text_helpers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "common/platform.h"

namespace {

std::string narrow(std::u16string_view s) { return platform::ToUtf8(s); }

TEST(TextHelpers, CharactersOfEmptyAndNonEmptyTexts) {
    EXPECT_EQ(FirstChar(u""), u' ');
    EXPECT_EQ(LastChar(u""), u' ');
    EXPECT_EQ(FirstCharOrNul(u""), u'\0');
    EXPECT_EQ(FirstChar(u"ab"), u'a');
    EXPECT_EQ(FirstCharOrNul(u"ab"), u'a');
    EXPECT_EQ(LastChar(u"ab"), u'b');
}

TEST(TextHelpers, TrimmingRemovesSpacesOnly) {
    struct Case {
        std::u16string in, both, leading, trailing;
    };
    const Case cases[] = {
        {u"   ", u"", u"", u""},
        {u"", u"", u"", u""},
        {u"  a b  ", u"a b", u"a b  ", u"  a b"},
        {u"\ta ", u"\ta", u"\ta ", u"\ta"},
        {u" a\t", u"a\t", u"a\t", u" a\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.in));
        std::u16string s = c.in;
        TrimSpaces(s);
        EXPECT_EQ(s, c.both);
        s = c.in;
        TrimLeadingSpaces(s);
        EXPECT_EQ(s, c.leading);
        s = c.in;
        TrimTrailingSpaces(s);
        EXPECT_EQ(s, c.trailing);
    }
}

TEST(TextHelpers, ShorteningRoutines) {
    std::u16string r = u"kept";
    WithoutLastChar(u"a", r);
    EXPECT_EQ(r, u"kept");
    WithoutLastChar(u"ab", r);
    EXPECT_EQ(r, u"a");
    r = u"xyz";
    WithoutLastChar(r, r);  // the argument may be the result itself
    EXPECT_EQ(r, u"xy");

    std::u16string s;
    DeleteLastChar(s);
    EXPECT_EQ(s, u"");
    s = u"ab";
    DeleteLastChar(s);
    EXPECT_EQ(s, u"a");

    s = std::u16string(u"abc\0def", 7);
    TrimAtNul(s);
    EXPECT_EQ(s, u"abc");
    s = u"plain";
    TrimAtNul(s);
    EXPECT_EQ(s, u"plain");

    CutAtQuestionMark(u"page.htm?x=1?y", r);
    EXPECT_EQ(r, u"page.htm");
    CutAtQuestionMark(u"page.htm", r);
    EXPECT_EQ(r, u"page.htm");

    EXPECT_TRUE(EndsWith(u"", u"abc"));
    EXPECT_TRUE(EndsWith(u"bc", u"abc"));
    EXPECT_FALSE(EndsWith(u"BC", u"abc"));
    EXPECT_FALSE(EndsWith(u"xabc", u"abc"));
}

TEST(TextHelpers, PosNoCase) {
    struct Case {
        const char16_t* sub;
        const char16_t* s;
        int pos;
    };
    const Case cases[] = {
        {u"windows\\", u"C:\\WINDOWS\\TEMP", 4},
        {u"temp", u"C:\\WINDOWS\\TEMP", 12},
        {u"c", u"abc", 3},
        {u"ÄÖ", u"xäö", 2},
        {u"abcd", u"abc", 0},
        {u"aab", u"aaab", 2},
        {u"", u"abc", 0},
        {u"a", u"", 0},
        {nullptr, u"abc", 0},
        {u"a", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.sub ? c.sub : u"(null)") + " in " + narrow(c.s ? c.s : u"(null)"));
        EXPECT_EQ(PosNoCase(c.sub, c.s), c.pos);
    }
}

TEST(TextHelpers, CaseMapping) {
    std::u16string s = u"Größe Über Ärger";
    MakeUpper(s);
    EXPECT_EQ(s.substr(0, 3), u"GRÖ");
    EXPECT_EQ(s.substr(6), u"ÜBER ÄRGER");
    s = u"ÄBC Ёлка";
    MakeLower(s);
    EXPECT_EQ(s, u"äbc ёлка");
    s.clear();
    MakeUpper(s);
    EXPECT_EQ(s, u"");
}

TEST(TextHelpers, ComparePChars) {
    EXPECT_EQ(ComparePChars(nullptr, nullptr), 0);
    EXPECT_EQ(ComparePChars(nullptr, u""), 0);
    EXPECT_EQ(ComparePChars(nullptr, u"a"), 1);
    EXPECT_EQ(ComparePChars(u"", nullptr), -1);
    EXPECT_EQ(ComparePChars(u"abc", u"abc"), 0);
    EXPECT_LT(ComparePChars(u"ab", u"abc"), 0);
    EXPECT_GT(ComparePChars(u"abc", u"ab"), 0);
    EXPECT_LT(ComparePChars(u"B", u"a"), 0);  // ordinal, not by case
    EXPECT_GT(ComparePChars(u"\xFFFF", u"a"), 0);
}

TEST(TextHelpers, SmallValueRoutines) {
    EXPECT_EQ(MinInt(3, 3), 3);
    EXPECT_EQ(MinInt(-1, 2), -1);
    EXPECT_EQ(MinInt(2, -1), -1);
    EXPECT_TRUE(InRect(10, 20, 10, 20, 10, 20));
    EXPECT_FALSE(InRect(9, 20, 10, 20, 10, 20));
    EXPECT_FALSE(InRect(10, 21, 10, 20, 10, 20));
    EXPECT_EQ(BoolChar(true), u'1');
    EXPECT_EQ(BoolChar(false), u'0');
}

TEST(TextHelpers, SkipTo) {
    const char16_t* p = u"key=value";
    skipTo(u'=', p);
    EXPECT_EQ(*p, u'=');
    skipTo(u'#', p);
    EXPECT_EQ(*p, u'\0');

    const char16_t* none = nullptr;
    try {
        skipTo(u'=', none);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"skipTo mit Nil-Pointer");
    }
}

TEST(TextHelpers, FreeMemAndNil) {
    auto owned = std::make_unique<int>(5);
    FreeMemAndNil(owned);
    EXPECT_EQ(owned, nullptr);
    void* block = std::malloc(16);
    FreeMemAndNil(block);
    EXPECT_EQ(block, nullptr);
    FreeMemAndNil(block);  // a cleared block may be freed again
}

TEST(TextHelpers, HexDigitValue) {
    const std::u16string digits = u"0123456789ABCDEFabcdef";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < digits.size(); ++i) EXPECT_EQ(HexDigitValue(digits[i]), values[i]);
    for (const char16_t c : u"/:@G`gx $-\xFF10") EXPECT_EQ(HexDigitValue(c), -1) << static_cast<int>(c);
}

struct ParseCase {
    std::u16string text;
    int start;
    int base;
    std::int64_t value;
    int endPos;
};

TEST(TextHelpers, ParseIntRules) {
    const ParseCase cases[] = {
        {u"12,34", 1, 10, 12, 3},
        {u"12,34", 4, 10, 34, 6},
        {u"$1F", 1, 10, 31, 4},
        {u"1F", 1, 16, 31, 3},
        {u"1A", 1, 10, 1, 2},
        {u" 5", 1, 10, 0, 1},
        {u"x5", 1, 10, 0, 1},
        {u"a=x", 3, 10, 0, 3},  // rejected character: pos points at it
        {u"-$5", 1, 10, 0, 1},
        {u"$-5", 1, 10, 0, 1},
        {u"--5", 1, 10, 5, 4},
        {u"---5", 1, 10, -5, 5},
        {u"-5", 1, 16, 0, 1},
        {u"-5", 1, 10, -5, 3},
        {u"$$ff", 1, 10, 255, 5},
        {u"A5", 1, 10, 0, 1},  // a hexadecimal digit ends the prefix even in base 10
        {u"", 1, 10, 0, 1},
        {u"-", 1, 10, 0, 2},
        {u"$", 1, 10, 0, 2},
        {u"12", 3, 10, 0, 3},
        {u"12", 9, 10, 0, 9},
        {u"2147483647", 1, 10, 2147483647, 11},
        {u"-2147483648", 1, 10, -2147483648LL, 12},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(narrow(c.text) + " from " + std::to_string(c.start) + " base " + std::to_string(c.base));
        int pos = c.start;
        EXPECT_EQ(ParseInt(c.text, pos, c.base), c.value);
        EXPECT_EQ(pos, c.endPos);
        pos = c.start;
        EXPECT_EQ(ParseInt64(c.text, pos, c.base), c.value);
        EXPECT_EQ(pos, c.endPos);
    }
}

TEST(TextHelpers, ParseIntWrapsAround) {
    int pos = 1;
    EXPECT_EQ(ParseInt(u"2147483648", pos, 10), INT32_MIN);
    pos = 1;
    EXPECT_EQ(ParseInt(u"4294967297", pos, 10), 1);
    pos = 1;
    EXPECT_EQ(ParseInt(u"$FFFFFFFF", pos, 10), -1);
    pos = 1;
    EXPECT_EQ(ParseInt64(u"$FFFFFFFF", pos, 10), 0xFFFFFFFFLL);
    pos = 1;
    EXPECT_EQ(ParseInt64(u"$FFFFFFFFFFFFFFFF1", pos, 10), 0xFFFFFFFFFFFFFFF1ULL - (1ULL << 63) - (1ULL << 63));
    pos = 1;
    EXPECT_EQ(ParseInt64(u"-9223372036854775808", pos, 10), INT64_MIN);
}

TEST(TextHelpers, CutInt) {
    struct Case {
        std::u16string in;
        int value;
        std::u16string rest;
    };
    const Case cases[] = {
        {u"6.1.7601", 6, u".1.7601"},
        {u"-12abc", -12, u"abc"},
        {u"abc", 0, u"abc"},
        {u"", 0, u""},
        {u"42", 42, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.in));
        std::u16string s = c.in;
        EXPECT_EQ(CutInt(s), c.value);
        EXPECT_EQ(s, c.rest);
    }
}

TEST(TextHelpers, HexOfInt64AndDoubleRoundTrip) {
    EXPECT_EQ(Int64ToHex16(1), u"0000000000000001");
    EXPECT_EQ(Int64ToHex16(0), u"0000000000000000");
    EXPECT_EQ(Int64ToHex16(-1), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Int64ToHex16(INT64_MIN), u"8000000000000000");
    EXPECT_EQ(Int64ToHex16(0x0123456789ABCDEFLL), u"0123456789ABCDEF");

    const double values[] = {0.0, -0.0, 1.0, -2.5, 3.141592653589793, 1e-300, 1.7976931348623157e308, 45678.125};
    for (const double d : values) {
        SCOPED_TRACE(d);
        const std::u16string hex = Int64ToHex16(std::bit_cast<std::int64_t>(d));
        const double back = HexToDouble(hex);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(d));
    }
    EXPECT_EQ(HexToDouble(u"3FF0000000000000"), 1.0);
    EXPECT_EQ(HexToDouble(u"3ff0000000000000"), 1.0);
    EXPECT_EQ(HexToDouble(u""), 0.0);
}

TEST(TextHelpers, TextToBool) {
    const std::pair<std::u16string, bool> cases[] = {
        {u"1", true}, {u"0", false}, {u"", false}, {u"false", true}, {u"00", true},
        {u"-1", false}, {u" 1", false}, {u"True", true},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(TextToBool(text), expected) << narrow(text);
}

TEST(TextHelpers, AddAndDelBackslash) {
    const char16_t sep = platform::PathSeparator();
    const std::u16string S(1, sep);
    struct Case {
        std::u16string in, added, deleted;
    };
    const Case cases[] = {
        {u"", u"", u""},
        {u"C:", u"C:", u"C:"},
        {u"C:" + S, u"C:" + S, u"C:"},
        {u"C:" + S + u"Temp", u"C:" + S + u"Temp" + S, u"C:" + S + u"Temp"},
        {u"dir" + S + S, u"dir" + S + S, u"dir" + S},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.in));
        std::u16string s = c.in;
        AddBackslash(s);
        EXPECT_EQ(s, c.added);
        s = c.in;
        DelBackslash(s);
        EXPECT_EQ(s, c.deleted);
    }
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FRoot = std::filesystem::temp_directory_path() /
                (std::string("tess-basics-") + info->name() + "-" + std::to_string(std::rand()));
        std::filesystem::create_directories(FRoot);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(FRoot, ec);
    }
    std::u16string path(const std::string& name = "") const {
        return name.empty() ? FRoot.u16string() : (FRoot / name).u16string();
    }
    void write(const std::string& name, const std::string& bytes) const {
        ASSERT_TRUE(platform::WriteFileAtomic(path(name), bytes));
    }

    std::filesystem::path FRoot;
};

TEST_F(TempFolder, FolderExists) {
    write("file.txt", "x");
    const std::u16string sep(1, platform::PathSeparator());
    EXPECT_TRUE(FolderExists(path()));
    EXPECT_TRUE(FolderExists(path() + sep));
    EXPECT_FALSE(FolderExists(path("file.txt")));
    EXPECT_FALSE(FolderExists(path("missing")));
    EXPECT_FALSE(FolderExists(u""));
#ifdef _WIN32
    EXPECT_TRUE(FolderExists(u"C:\\Windows\\"));
    EXPECT_TRUE(FolderExists(u"C:"));
    EXPECT_TRUE(FolderExists(u"C:\\"));
#endif
}

TEST_F(TempFolder, IsFolderWritableLeavesNoProbeBehind) {
    EXPECT_TRUE(IsFolderWritable(path()));
    EXPECT_TRUE(std::filesystem::is_empty(FRoot));
    EXPECT_FALSE(IsFolderWritable(path("missing")));
}

TEST_F(TempFolder, HasUtf8Bom) {
    write("bom.txt", "\xEF\xBB\xBFkey=value");
    write("bomonly.txt", "\xEF\xBB\xBF");
    write("short.txt", "\xEF\xBB");
    write("plain.txt", "key=value");
    write("utf16.txt", "\xFF\xFEk\0");
    EXPECT_TRUE(HasUtf8Bom(path("bom.txt")));
    EXPECT_TRUE(HasUtf8Bom(path("bomonly.txt")));
    EXPECT_FALSE(HasUtf8Bom(path("short.txt")));
    EXPECT_FALSE(HasUtf8Bom(path("plain.txt")));
    EXPECT_FALSE(HasUtf8Bom(path("utf16.txt")));
    EXPECT_FALSE(HasUtf8Bom(path("missing.txt")));
}

std::vector<std::u16string> walk(const std::u16string& line) {
    std::vector<std::u16string> params;
    const char16_t* p = line.c_str();
    for (int guard = 0; guard < 100; ++guard) {
        std::u16string param;
        p = NextParam(p, param);
        params.push_back(param);
        if (param.empty()) break;
    }
    return params;
}

TEST(TextHelpers, NextParamWalksACommandLine) {
    struct Case {
        std::u16string line;
        std::vector<std::u16string> params;  // the last one is the empty end marker
    };
    const Case cases[] = {
        {u"prog.exe  \"a b\" c", {u"prog.exe", u"a b", u"c", u""}},
        {u"", {u""}},
        {u"   \t ", {u""}},
        {u"\"\" \"\"x", {u"x", u""}},
        {u"say \"he said \"\"hi\"\"\" done", {u"say", u"he said \"hi\"", u"done", u""}},
        {u"pre\"fix mid\"post tail", {u"prefix midpost", u"tail", u""}},
        {u"\"C:\\Program Files\\x.exe\" -f", {u"C:\\Program Files\\x.exe", u"-f", u""}},
        {u"\"unterminated part", {u"unterminated part", u""}},
        {u"a\x01" u"b", {u"a", u"b", u""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.line));
        EXPECT_EQ(walk(c.line), c.params);
    }
}

TEST(TextHelpers, NextParamReturnsThePositionAfterTheParameter) {
    const char16_t* line = u"ab  cd";
    std::u16string param;
    const char16_t* p = NextParam(line, param);
    EXPECT_EQ(p, line + 2);
    p = NextParam(p, param);
    EXPECT_EQ(param, u"cd");
    EXPECT_EQ(p, line + 6);
    EXPECT_EQ(NextParam(p, param), p);
}

TEST(TextHelpers, NextParamSplitsOverlongParameters) {
    const std::u16string cut(MaxParamLength, u'x');
    for (const bool quoted : {false, true}) {
        for (const std::size_t extra : {std::size_t{0}, std::size_t{10}}) {
            SCOPED_TRACE(std::string(quoted ? "quoted" : "plain") + " +" + std::to_string(extra));
            const std::u16string longPart(MaxParamLength + extra, u'x');
            const std::u16string line = (quoted ? u"\"" + longPart + u"\"" : longPart) + u" next";
            // An unquoted rest is the next parameter; the rest of a quoted part is dropped, so
            // the parameters after it stay intact.
            std::vector<std::u16string> expected{cut, u"next", u""};
            if (extra && !quoted) expected.insert(expected.begin() + 1, std::u16string(extra, u'x'));
            EXPECT_EQ(walk(line), expected);
        }
    }
}

}  // namespace
