// Tests of TIniStream: document text form, byte round trips, typed values and Modified.
#include "settings/ini_stream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/platform.h"

namespace {

std::string narrow(std::u16string_view s) { return platform::ToUtf8(s); }

std::vector<std::u16string> items(const TStrings& list) {
    std::vector<std::u16string> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list.Strings(i));
    return r;
}

// A document parsed from text lines; rendered back as text with CR LF line ends.
void load(TIniStream& doc, std::u16string_view text) {
    TStringList lines;
    lines.SetText(text);
    doc.LoadFromList(lines);
}

std::u16string render(const TIniStream& doc) {
    TStringList lines;
    doc.SaveToList(lines);
    return lines.Text();
}

TEST(IniStream, DocumentTextForm) {
    struct Case {
        const char16_t* in;
        const char16_t* out;
    };
    const Case cases[] = {
        {u"a=1\n[S]\nb=2", u"a=1\r\n\r\n[S]\r\nb=2\r\n\r\n"},
        {u"[B]\nx=1\n[A]\ny=2", u"[A]\r\ny=2\r\n\r\n[B]\r\nx=1\r\n\r\n"},
        {u"[S]\nx=1\n[s]\ny=2", u"[S]\r\nx=1\r\ny=2\r\n\r\n"},
        {u";$C\n[S]\nx=1\n[s]\ny=2", u";$C\r\n[s]\r\ny=2\r\n\r\n[S]\r\nx=1\r\n\r\n"},
        {u"[S] ; note\nk=v", u"[S] ; note]\r\nk=v\r\n\r\n"},
        {u"[a]b\nk=v", u"[a]b]\r\nk=v\r\n\r\n"},
        {u"[a]]\nk=v", u"[a]]\r\nk=v\r\n\r\n"},
        {u"[]\nk=v\n[\nj=w\n[x]\ni=1", u"k=v\r\nj=w\r\n\r\n[x]\r\ni=1\r\n\r\n"},
        {u"[E]\n[F]\nx=\n", u""},
        {u"[G]\nk=''", u"[G]\r\n\r\n"},
        {u"; top\n[S]\n;c\nk=v\nfree text", u"; top\r\n\r\n[S]\r\n;c\r\nk=v\r\nfree text\r\n\r\n"},
        {u"\n\n[S]\n\nk=v\n\n", u"[S]\r\nk=v\r\n\r\n"},
        {u"k='v'\n;$c", u"k=v\r\n;$c\r\n\r\n"},
        {u"k=''v''\n ;c=1\n [h]=2", u"k=''v''\r\n ;c=1\r\n [h]=2\r\n\r\n"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.in));
        TIniStream doc;
        load(doc, c.in);
        EXPECT_EQ(narrow(render(doc)), narrow(c.out));
    }
}

TEST(IniStream, ListParsingAppendsAndReopensSections) {
    TIniStream doc;
    load(doc, u"[S]\na=1\n[T]\nt=1");
    load(doc, u"b=2\n[s]\nc=3");
    ASSERT_EQ(doc.Count(), 3);
    EXPECT_EQ(doc.SectionNames(0), u"");
    EXPECT_EQ(doc.SectionNames(1), u"S");  // the name as first written
    EXPECT_EQ(doc.Sections(1)->GetSectionText(), u"a=1\rc=3");
    EXPECT_EQ(doc.SectionByName(u"t"), doc.Sections(2));
    EXPECT_EQ(doc.SectionByName(u"missing"), nullptr);
    EXPECT_FALSE(doc.Modified());
}

// Files already in the written form come back byte for byte, in every encoding.
TEST(IniStream, ByteExactRoundTrips) {
    const std::u16string text =
        u";$C\r\nSound=1\r\nSize=4\r\n; Kommentar \u00FC\u00E4\u00F6\r\n\r\n[window]\r\n\ttab\t=\t\r\n\r\n"
        u"[Window]\r\nFontName=Times New Roman\r\nLeft=-8\r\nTitle=\u041F\u044F\u0442\u043D\u0430\u0448\u043A\u0438 "
        u"\U0001F600\r\n  spaced   value  \r\n\r\n";
    for (const TTextEncoding e : {TTextEncoding::Utf8, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE}) {
        SCOPED_TRACE(static_cast<int>(e));
        std::string bytes(Preamble(e));
        AppendEncoded(bytes, text, e);
        TIniStream doc;
        doc.LoadFromStream(bytes);
        EXPECT_EQ(doc.Encoding(), e);
        std::string out;
        doc.SaveToStream(out, doc.Encoding());
        EXPECT_EQ(out, bytes);
    }
    // Without a mark: the ANSI code page, and the document writes none.
    const std::string ansi = "a=1\r\n\r\n[S]\r\nk=v w\r\n\r\n";
    TIniStream doc;
    doc.LoadFromStream(ansi);
    EXPECT_EQ(doc.Encoding(), TTextEncoding::Ansi);
    std::string out = "prefix:";
    doc.SaveToStream(out, std::nullopt);
    EXPECT_EQ(out, "prefix:" + ansi);
}

// Keys and values that the line grammar would change are written so that they read back.
TEST(IniStream, WrittenKeysAndValuesReadBack) {
    struct Case {
        const char16_t* key;
        const char16_t* value;
        const char16_t* line;
    };
    const Case cases[] = {
        {u"k", u"'x'", u"k=''x''"},     {u"k", u"''", u"k=''''"},        {u"k", u"'a'b'", u"k=''a'b''"},
        {u"k", u"'", u"k='"},           {u"k", u"x'", u"k=x'"},          {u"k", u" 'x'", u"k= 'x'"},
        {u";k", u"v", u" ;k=v"},        {u"[k]", u"'v'", u" [k]=''v''"}, {u";$C", u"1", u" ;$C=1"},
        {u"k;", u"v", u"k;=v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.key) + "=" + narrow(c.value));
        TIniStream doc;
        doc.WriteString(u"", c.key, c.value);
        const std::u16string text = render(doc);
        EXPECT_EQ(narrow(text), narrow(std::u16string(c.line) + u"\r\n\r\n"));
        TIniStream again;
        load(again, text);
        EXPECT_EQ(again.ReadString(u"", c.key, u"-"), c.value);
        EXPECT_FALSE(again.CaseSensitive());
        EXPECT_EQ(render(again), text);
    }
}

TEST(IniStream, StreamWithBadBytesFailsAndLeavesTheDocumentEmpty) {
    TIniStream doc;
    load(doc, u"[S]\nk=v");
    EXPECT_THROW(doc.LoadFromStream("\xEF\xBB\xBF" "a=1\r\nb=\xE4\r\n"), EEncodingError);
    EXPECT_EQ(doc.Count(), 0);
    EXPECT_THROW(doc.LoadFromStream(std::string("\xFF\xFE" "a\0\x00\xD8", 6)), EEncodingError);
    EXPECT_EQ(doc.Count(), 0);
}

TEST(IniStream, ReadStringFallsBackForMissingAndEmptyValues) {
    TIniStream doc;
    load(doc, u"k=''\nv=x\nv=y\n[S]\nK=s");
    EXPECT_EQ(doc.ReadString(u"", u"k", u"def"), u"def");
    EXPECT_EQ(doc.ReadString(u"", u"missing", u"def"), u"def");
    EXPECT_EQ(doc.ReadString(u"nosection", u"v", u"def"), u"def");
    EXPECT_EQ(doc.ReadString(u"", u"V", u"def"), u"x");
    EXPECT_EQ(doc.ReadString(u"s", u"k", u""), u"s");
}

TEST(IniStream, ReadBoolComparesWithZeroOrdinally) {
    const std::pair<const char16_t*, bool> cases[] = {
        {u"1", true},    {u"00", true},  {u"yes", true}, {u"true", true}, {u"false", true},
        {u"0", false},   {u"-1", false}, {u"+1", false}, {u" 1", false},
    };
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(narrow(stored));
        TIniStream doc;
        doc.WriteString(u"", u"b", stored);
        EXPECT_EQ(doc.ReadBool(u"", u"b", !expected), expected);
    }
    TIniStream doc;
    EXPECT_TRUE(doc.ReadBool(u"", u"missing", true));
    EXPECT_FALSE(doc.ReadBool(u"", u"missing", false));
}

TEST(IniStream, IntegerReadsAcceptOnlyWholeNumbers) {
    struct Case {
        const char16_t* stored;
        std::int32_t int32;  // ReadInteger: invalid is 0
        std::int64_t int64;  // ReadInt64 with default 99: invalid is 99
    };
    const Case cases[] = {
        {u"12", 12, 12},
        {u"12 ", 0, 99},
        {u"  8", 8, 8},
        {u"+7", 7, 7},
        {u"-5", -5, -5},
        {u"$1F", 31, 31},
        {u"0x1f", 31, 31},
        {u"X10", 16, 16},
        {u"-$10", -16, -16},
        {u"$FFFFFFFF", -1, 0xFFFFFFFF},
        {u"$100000000", 0, 0x100000000},
        // Eight hexadecimal digits at most for 32 bits and sixteen for 64, leading zeros too.
        {u"$00000001", 1, 1},
        {u"$000000001", 0, 1},
        {u"-0x000000010", 0, -16},
        {u"$0000000000000001", 0, 1},
        {u"$00000000000000001", 0, 99},
        {u"2147483647", 2147483647, 2147483647},
        {u"2147483648", 0, 2147483648},
        {u"-2147483648", std::numeric_limits<std::int32_t>::min(), -2147483648LL},
        {u"9223372036854775807", 0, std::numeric_limits<std::int64_t>::max()},
        {u"9223372036854775808", 0, 99},
        {u"-9223372036854775808", 0, std::numeric_limits<std::int64_t>::min()},
        {u"$FFFFFFFFFFFFFFFF", 0, -1},
        {u"1.5", 0, 99},
        {u"--5", 0, 99},
        {u"0x", 0, 99},
        {u"$", 0, 99},
        {u"-", 0, 99},
        {u"   ", 0, 99},
        {u"5x", 0, 99},
        {u"\uFF15", 0, 99},  // a full-width digit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.stored));
        TIniStream doc;
        doc.WriteString(u"S", u"n", c.stored);
        EXPECT_EQ(doc.ReadInteger(u"S", u"n", 42), c.int32);
        EXPECT_EQ(doc.ReadInt64(u"S", u"n", 99), c.int64);
    }
    TIniStream doc;
    EXPECT_EQ(doc.ReadInteger(u"S", u"missing", 42), 42);
    EXPECT_EQ(doc.ReadInt64(u"S", u"missing", -3), -3);
}

TEST(IniStream, DoublesAreStoredAsTheirBitPattern) {
    TIniStream doc;
    doc.WriteDouble(u"", u"d", 1.0);
    EXPECT_EQ(doc.ReadString(u"", u"d", u""), u"3FF0000000000000");
    EXPECT_EQ(doc.ReadDouble(u"", u"d", 0), 1.0);

    for (const std::uint64_t bits : {0x8000000000000000ull, 0x7FF0000000000000ull, 0x7FF8000000000123ull,
                                     0x0000000000000001ull, 0xC00921FB54442D18ull, 0ull}) {
        SCOPED_TRACE(bits);
        doc.WriteDouble(u"", u"d", std::bit_cast<double>(bits));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(doc.ReadDouble(u"", u"d", 5.0)), bits);
    }
    const std::pair<const char16_t*, std::uint64_t> reads[] = {
        {u"1.5", 1}, {u"$3FF0000000000000", 0x3FF0000000000000ull}, {u"-1", 0},
        {u"13FF0000000000000", 0x3FF0000000000000ull}, {u"3ff0000000000000", 0x3FF0000000000000ull},
    };
    for (const auto& [stored, bits] : reads) {
        SCOPED_TRACE(narrow(stored));
        doc.WriteString(u"", u"d", stored);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(doc.ReadDouble(u"", u"d", 5.0)), bits);
    }
    EXPECT_EQ(doc.ReadDouble(u"", u"missing", 2.5), 2.5);
}

TEST(IniStream, FloatsAndPoints) {
    const std::pair<const char16_t*, double> floats[] = {
        {u"1.5", 1.5}, {u"1,5", 1.5}, {u"-2e3", -2000}, {u" 3 ", 3}, {u".5", 0.5}, {u"+4.", 4},
        {u"abc", -1}, {u"1e999", -1}, {u"1.5x", -1}, {u"e5", -1}, {u"1e", -1},
    };
    for (const auto& [stored, expected] : floats) {
        SCOPED_TRACE(narrow(stored));
        TIniStream doc;
        doc.WriteString(u"", u"f", stored);
        EXPECT_EQ(doc.ReadFloat(u"", u"f", -1), expected);
    }
    struct PointCase {
        const char16_t* stored;
        const char16_t* def;
        TPoint expected;
    };
    const PointCase points[] = {
        {u"10,20", u"", {10, 20}}, {u"10, 20", u"", {10, 0}}, {u"", u"3,4", {3, 4}}, {u"", u"", {0, 0}},
        {u"-7,-8", u"", {-7, -8}}, {u",5", u"", {0, 5}},      {u"10", u"", {10, 0}}, {u" 5,6", u"", {0, 0}},
    };
    for (const PointCase& c : points) {
        SCOPED_TRACE(narrow(c.stored));
        TIniStream doc;
        doc.WriteString(u"", u"p", c.stored);
        EXPECT_EQ(doc.ReadPoint(u"", u"p", c.def), c.expected);
    }
}

TEST(IniStream, TypedWritesUseTheirTextForms) {
    TIniStream doc;
    doc.WriteBool(u"", u"t", true);
    doc.WriteBool(u"", u"f", false);
    doc.WriteInteger(u"", u"n", -5);
    doc.WriteInteger(u"", u"min", std::numeric_limits<std::int32_t>::min());
    doc.WriteDouble(u"", u"d", -2.0);
    EXPECT_EQ(render(doc), u"t=1\r\nf=0\r\nn=-5\r\nmin=-2147483648\r\nd=C000000000000000\r\n\r\n");
}

TEST(IniStream, WriteStringAddsReplacesAndDeletes) {
    TIniStream doc;
    load(doc, u"[S]\na=1\nb=2");
    doc.WriteString(u"s", u"c", u"3");        // appended at the section's end
    doc.WriteString(u"S", u"A", u"one");      // replaced in place, key as first written
    doc.WriteString(u"S", u"b", u"");         // deleted
    doc.WriteString(u"New", u"k", u"v");      // a new section
    doc.WriteString(u"Other", u"k", u"");     // nothing to delete: no section either
    EXPECT_EQ(render(doc), u"[New]\r\nk=v\r\n\r\n[S]\r\na=one\r\nc=3\r\n\r\n");
    EXPECT_EQ(doc.SectionByName(u"Other"), nullptr);
}

TEST(IniStream, ModifiedIsSetOnlyByRealChanges) {
    struct Case {
        const char* what;
        void (*change)(TIniStream&);
        bool modified;
    };
    const Case cases[] = {
        {"same value", [](TIniStream& d) { d.WriteString(u"S", u"k", u"v"); }, false},
        {"same value, other key case", [](TIniStream& d) { d.WriteString(u"s", u"K", u"v"); }, false},
        {"empty to missing key", [](TIniStream& d) { d.WriteString(u"S", u"x", u""); }, false},
        {"empty to missing section", [](TIniStream& d) { d.WriteString(u"T", u"x", u""); }, false},
        {"clear missing section", [](TIniStream& d) { d.ClearSection(u"T"); }, false},
        {"sort, dedup, clear", [](TIniStream& d) { d.SortKeywords(), d.DelDupLines(), d.Clear(); }, false},
        {"read lines", [](TIniStream& d) { TStringList l; d.ReadSectionLines(u"S", l, true); }, false},
        {"new value", [](TIniStream& d) { d.WriteString(u"S", u"k", u"w"); }, true},
        {"value in other letter case", [](TIniStream& d) { d.WriteString(u"S", u"k", u"V"); }, true},
        {"delete", [](TIniStream& d) { d.WriteString(u"S", u"k", u""); }, true},
        {"new key", [](TIniStream& d) { d.WriteInteger(u"T", u"n", 1); }, true},
        {"clear section", [](TIniStream& d) { d.ClearSection(u"s"); }, true},
        {"section lines", [](TIniStream& d) { d.WriteSectionLines(u"S", TStringList(), true); }, true},
        {"add section", [](TIniStream& d) { d.AddSection(u"S", std::make_unique<TIniSection>()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TIniStream doc;
        load(doc, u"[S]\nk=v");
        ASSERT_FALSE(doc.Modified());
        c.change(doc);
        EXPECT_EQ(doc.Modified(), c.modified);
    }
}

TEST(IniStream, AddSectionTakesANewSectionOnly) {
    TIniStream doc;
    load(doc, u"[S]\nk=v");
    std::unique_ptr<TIniSection> back = doc.AddSection(u"s", std::make_unique<TIniSection>());
    ASSERT_NE(back, nullptr);  // already present: stays the caller's
    EXPECT_EQ(back->GetSectionText(), u"?=?");
    EXPECT_EQ(doc.AddSection(u"New", std::move(back)), nullptr);
    EXPECT_EQ(render(doc), u"[New]\r\n?=?\r\n\r\n[S]\r\nk=v\r\n\r\n");
}

TEST(IniStream, SectionNamesAndLineNames) {
    TIniStream doc;
    load(doc, u"top=1\n[B]\nx=1\n;c\nfree\n=kv\ny=\nz=''\n[A]");
    TStringList names;
    names.Add(u"old");
    doc.ReadSectionNames(names);
    EXPECT_EQ(items(names), (std::vector<std::u16string>{u"", u"A", u"B"}));
    EXPECT_EQ(names.ObjectAs<TIniSection>(2), doc.SectionByName(u"B"));
    names.Clear();  // the list did not own the sections
    EXPECT_NE(doc.SectionByName(u"B"), nullptr);

    TStringList keys;
    doc.ReadSectionLineNames(u"B", keys);
    EXPECT_EQ(items(keys), (std::vector<std::u16string>{u"x", u"z"}));
    TStringList lines;
    doc.ReadSectionLines(u"B", lines, false);
    EXPECT_EQ(items(lines), (std::vector<std::u16string>{u"x=1", u"free", u"kv", u"z="}));
    doc.ReadSectionLines(u"missing", lines, true);
    EXPECT_EQ(lines.Count(), 0);
}

TEST(IniStream, RenameSectionKeepsTheListSorted) {
    TIniStream doc;
    load(doc, u"[A]\na=1\n[B]\nb=1\n[C]\nc=1");
    EXPECT_FALSE(doc.RenameSection(0, u"c"));  // taken by another section
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(doc.RenameSection(0, u"D"));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(render(doc), u"[B]\r\nb=1\r\n\r\n[C]\r\nc=1\r\n\r\n[D]\r\na=1\r\n\r\n");
    EXPECT_TRUE(doc.RenameSection(1, u"c"));  // only the letter case changes
    EXPECT_EQ(doc.SectionNames(1), u"c");
    EXPECT_THROW(doc.RenameSection(7, u"x"), EStringListError);
}

TEST(IniStream, CaseSensitivityResortsTheSections) {
    // Either name read last before the switch, either read first after it: a section remembered
    // from before must not be taken for the first of the two names that are now equal.
    for (const char16_t* readLast : {u"s", u"S"}) {
        for (const bool upperFirst : {false, true}) {
            SCOPED_TRACE(narrow(readLast) + (upperFirst ? ", S first" : ", s first"));
            TIniStream doc;
            doc.SetCaseSensitive(true);
            doc.WriteString(u"S", u"k", u"1");
            doc.WriteString(u"s", u"k", u"2");
            EXPECT_EQ(doc.Count(), 2);
            EXPECT_EQ(doc.ReadString(u"S", u"k", u""), u"1");
            EXPECT_NE(doc.ReadString(readLast, u"k", u""), u"");
            doc.SetCaseSensitive(false);
            EXPECT_FALSE(render(doc).starts_with(u";$C"));
            const std::u16string first = doc.ReadString(upperFirst ? u"S" : u"s", u"k", u"");
            EXPECT_EQ(doc.ReadString(upperFirst ? u"s" : u"S", u"k", u""), first);
        }
    }
}

// A read of the section read before is answered without a search; every change of the
// section list must still be seen by the next read.
TEST(IniStream, ReadsFollowChangesOfTheSectionList) {
    struct Case {
        const char* what;
        void (*change)(TIniStream&);
        const char16_t* section;
        const char16_t* expected;
    };
    const Case cases[] = {
        {"nothing changed, other letter case", [](TIniStream&) {}, u"b", u"b"},
        {"section deleted", [](TIniStream& d) { d.ClearSection(u"B"); }, u"B", u"-"},
        {"section inserted before", [](TIniStream& d) { d.WriteString(u"A0", u"k", u"new"); }, u"B", u"b"},
        {"inserted section read", [](TIniStream& d) { d.WriteString(u"A0", u"k", u"new"); }, u"A0", u"new"},
        {"section taken in before", [](TIniStream& d) { (void)d.AddSection(u"0", std::make_unique<TIniSection>()); },
         u"B", u"b"},
        {"renamed away", [](TIniStream& d) { d.RenameSection(1, u"Z"); }, u"B", u"-"},
        {"another renamed to its name", [](TIniStream& d) { d.ClearSection(u"B"), d.RenameSection(0, u"B"); }, u"B",
         u"a"},
        {"cleared and loaded", [](TIniStream& d) { d.Clear(), load(d, u"[0]\nk=0\n[B]\nk=other"); }, u"B", u"other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TIniStream doc;
        load(doc, u"[A]\nk=a\n[B]\nk=b\n[C]\nk=c");
        ASSERT_EQ(doc.ReadString(u"B", u"k", u"-"), u"b");
        c.change(doc);
        EXPECT_EQ(doc.ReadString(c.section, u"k", u"-"), c.expected);
        for (int i = 0; i < doc.Count(); ++i) EXPECT_EQ(doc.SectionByName(doc.SectionNames(i)), doc.Sections(i)) << i;
    }
}

}  // namespace
