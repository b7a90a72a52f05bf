// Tests of TIniSection: the line grammar, first-line-wins reads, putValue, listed and saved forms.
#include "settings/ini_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/platform.h"

namespace {

std::string narrow(std::u16string_view s) { return platform::ToUtf8(s); }

// Opens the section's document-side operations to the tests.
class Section : public TIniSection {
public:
    using TIniSection::AddKWLine;
    using TIniSection::putValue;
    using TIniSection::WriteLines;

    explicit Section(std::initializer_list<const char16_t*> lines = {}) {
        for (const char16_t* line : lines) AddKWLine(line);
    }
};

struct Line {
    std::u16string key, value;
    friend bool operator==(const Line&, const Line&) = default;
    friend void PrintTo(const Line& l, std::ostream* os) { *os << '{' << narrow(l.key) << '|' << narrow(l.value) << '}'; }
};

std::vector<Line> linesOf(const TIniSection& s) {
    std::vector<Line> r;
    for (int i = 0; i < s.Count(); ++i) r.push_back({s.Strings(i), s.getValues(i)});
    return r;
}

std::vector<std::u16string> items(const TStrings& list) {
    std::vector<std::u16string> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list.Strings(i));
    return r;
}

TEST(IniSection, LineGrammar) {
    struct Case {
        std::u16string line;
        std::vector<Line> expected;
    };
    const Case cases[] = {
        {u"Name = Fred ", {{u"Name", u" Fred "}}},
        {u"Name='Fred'", {{u"Name", u"Fred"}}},
        {u"Name= 'Fred'", {{u"Name", u" 'Fred'"}}},
        {u"Name='", {{u"Name", u"'"}}},
        {u"Name=''", {{u"Name", u""}}},
        {u"Name='a'b'", {{u"Name", u"a'b"}}},
        {u"Name=\"Fred\"", {{u"Name", u"\"Fred\""}}},
        {u"Name=", {}},
        {u"=", {}},
        {u"  =", {}},
        {u"=abc", {{u"", u"abc"}}},
        {u"  = abc", {{u"", u" abc"}}},
        {u"a=b=c", {{u"a", u"b=c"}}},
        {u"; note", {{u"", u"; note"}}},
        {u";Name=1", {{u"", u";Name=1"}}},
        {u" ;Name=1", {{u";Name", u"1"}}},
        {u"\tkey\t =v", {{u"\tkey\t", u"v"}}},
        {u"just text", {{u"", u"just text"}}},
        {u"", {{u"", u""}}},
        {u"[x]", {{u"", u"[x]"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.line));
        Section s;
        s.AddKWLine(c.line);
        EXPECT_EQ(linesOf(s), c.expected);
    }
}

TEST(IniSection, ReadsFindTheFirstLineWithTheKey) {
    Section s{u"a=1", u"A=2", u"b=x"};
    EXPECT_EQ(s.getValue(u"a"), u"1");
    EXPECT_EQ(s.getValue(u"A"), u"1");
    EXPECT_EQ(s.getString(u"B"), u"x");
    EXPECT_EQ(s.Value(u"missing"), u"");
    EXPECT_EQ(s.Count(), 3);  // both "a" lines stay

    // Deleting the first "a" line through an empty value uncovers the second one.
    EXPECT_TRUE(s.putValue(u"a", u""));
    EXPECT_EQ(s.getValue(u"a"), u"2");
}

TEST(IniSection, PutValueSetsReplacesAndDeletes) {
    Section s{u"Key=v", u"other=1"};
    EXPECT_FALSE(s.putValue(u"KEY", u"v"));  // exactly equal: nothing to do
    EXPECT_TRUE(s.putValue(u"KEY", u"V"));   // values compare exactly
    EXPECT_EQ(linesOf(s), (std::vector<Line>{{u"Key", u"V"}, {u"other", u"1"}}));  // in place, key as written
    EXPECT_FALSE(s.putValue(u"missing", u""));
    EXPECT_TRUE(s.putValue(u"new", u"n"));
    EXPECT_TRUE(s.putValue(u"key", u""));
    EXPECT_EQ(linesOf(s), (std::vector<Line>{{u"other", u"1"}, {u"new", u"n"}}));
}

std::u16string number(int i) { return platform::FromUtf8(std::to_string(i)); }

// Enough lines for the list's lookup index, with keys repeated and deleted in between.
TEST(IniSection, ManyLinesKeepFirstLineWins) {
    Section s;
    for (int i = 0; i < 200; ++i) s.AddKWLine(std::u16string(u"k").append(number(i % 50)).append(u"=").append(number(i)));
    for (int i = 0; i < 50; ++i) {
        const std::u16string key = std::u16string(u"K").append(number(i));
        SCOPED_TRACE(narrow(key));
        ASSERT_EQ(s.getValue(key), number(i));
        ASSERT_TRUE(s.putValue(key, u""));  // deletes the first line only
        ASSERT_EQ(s.getValue(key), number(i + 50));
    }
    EXPECT_EQ(s.Count(), 150);
    EXPECT_TRUE(s.putValue(u"k\u00E9", u"new"));
    EXPECT_EQ(s.getValue(u"K\u00E9"), u"new");
    EXPECT_EQ(s.Strings(s.Count() - 1), u"k\u00E9");
}

TEST(IniSection, IsEmptyCountsOnlyNonEmptyValues) {
    EXPECT_TRUE(Section{}.isEmpty());
    EXPECT_TRUE(Section{u"x=''"}.isEmpty());
    EXPECT_TRUE((Section{u"x=''", u""}.isEmpty()));
    EXPECT_FALSE(Section{u";comment"}.isEmpty());
    EXPECT_FALSE(Section{u"free text"}.isEmpty());
}

TEST(IniSection, SavedFormSkipsEmptyValuesAndEndsWithABlankLine) {
    TStringList out;
    Section{}.WriteLines(out);
    EXPECT_EQ(items(out), std::vector<std::u16string>{u""});

    out.Clear();
    Section{u"a=1", u"x=''", u"just text", u"", u";c", u"q='v'", u" ;k=''w''"}.WriteLines(out);
    EXPECT_EQ(items(out), (std::vector<std::u16string>{u"a=1", u"just text", u";c", u"q=v", u" ;k=''w''", u""}));
}

TEST(IniSection, ListedLinesAndSectionText) {
    const Section s{u"a=1", u";c", u"k=''", u"free", u""};
    TStringList out;
    out.Add(u"kept");
    s.GetSectionLines(out, true);
    EXPECT_EQ(items(out), (std::vector<std::u16string>{u"kept", u"a=1", u";c", u"k=", u"free", u""}));
    out.Clear();
    s.GetSectionLines(out, false);
    EXPECT_EQ(items(out), (std::vector<std::u16string>{u"a=1", u"k=", u"free", u""}));

    EXPECT_EQ((Section{u"a=1", u";c"}.GetSectionText()), u"a=1\r;c");
    EXPECT_EQ(s.GetSectionText(), u"a=1\r;c\rk=\rfree\r");
    EXPECT_EQ((Section{u"", u"a=1"}.GetSectionText()), u"a=1");  // nothing before the first piece
    EXPECT_EQ(Section{}.GetSectionText(), u"");
}

TEST(IniSection, SetSectionLinesStoresItemsUnparsed) {
    TStringList in;
    in.SetText(u"a=1\r\n;c\r\n\r\n[x]\r\n");
    Section s{u"old=1"};
    s.SetSectionLines(in, false);
    EXPECT_EQ(linesOf(s), (std::vector<Line>{{u"", u"a=1"}, {u"", u""}, {u"", u"[x]"}}));
    s.SetSectionLines(in, true);
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.getValues(1), u";c");

    s.SetKWSectionLines(in);
    EXPECT_EQ(linesOf(s), (std::vector<Line>{{u"a", u"1"}, {u"", u";c"}, {u"", u""}, {u"", u"[x]"}}));
}

TEST(IniSection, DelDupLinesSortsAndDropsRepeatedNeighbours) {
    Section s{u"b=2", u"a=1", u"b=2", u"c=3", u";x", u";x", u"b=2"};
    s.DelDupLines();
    EXPECT_EQ(linesOf(s), (std::vector<Line>{{u"", u";x"}, {u"a", u"1"}, {u"b", u"2"}, {u"c", u"3"}}));

    // Keys that differ in letter case make different lines.
    Section cased{u"b=2", u"B=2"};
    cased.DelDupLines();
    EXPECT_EQ(cased.Count(), 2);
}

TEST(IniSection, CloneCopiesKeysAndValues) {
    Section s{u"a=1", u"free", u"a=2"};
    std::unique_ptr<TIniSection> copy = s.Clone();
    s.putValue(u"a", u"changed");
    EXPECT_EQ(linesOf(*copy), (std::vector<Line>{{u"a", u"1"}, {u"", u"free"}, {u"a", u"2"}}));
}

}  // namespace
