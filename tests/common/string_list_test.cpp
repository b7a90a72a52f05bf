// Tests of TStringList: ownership, sorted lists, lookup, text lines and bytes.
#include "common/string_list.h"
#include "tests/support/test_seed.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/platform.h"

namespace {

std::string narrow(std::u16string_view s) { return platform::ToUtf8(s); }

std::vector<std::u16string> texts(const TStrings& list) {
    std::vector<std::u16string> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list.Strings(i));
    return r;
}

// Counts live instances, so that a test sees exactly which objects a list freed.
struct Tracked {
    static int alive;
    Tracked() { ++alive; }
    ~Tracked() { --alive; }
};
int Tracked::alive = 0;

using testsupport::testSeed;

TEST(StringList, FreesOwnedObjectsOnDeleteReplaceClearAndDestruction) {
    Tracked::alive = 0;
    Tracked borrowed;
    {
        TStringList list;
        list.AddObject(u"a", std::make_unique<Tracked>());
        list.AddObject(u"b", std::make_unique<Tracked>());
        list.AddObject(u"c", &borrowed);
        list.AddObject(u"d", std::make_unique<Tracked>());
        list.AddObject(u"e", std::make_unique<Tracked>());
        EXPECT_EQ(Tracked::alive, 5);

        list.Delete(0);
        EXPECT_EQ(Tracked::alive, 4);
        list.PutObject(0, std::make_unique<Tracked>());  // replaces b's object
        EXPECT_EQ(Tracked::alive, 4);
        list.Delete(1);  // the borrowed one stays alive
        EXPECT_EQ(Tracked::alive, 4);
        EXPECT_EQ(list.ObjectAs<Tracked>(1), list.Objects(1));

        std::unique_ptr<Tracked> taken = list.ExtractObject<Tracked>(1);
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(list.Objects(1), nullptr);
        taken.reset();
        EXPECT_EQ(Tracked::alive, 3);

        TStringList moved = std::move(list);
        EXPECT_EQ(Tracked::alive, 3);
        moved.Clear();
        EXPECT_EQ(Tracked::alive, 1);
        moved.AddObject(u"f", std::make_unique<Tracked>());
    }
    EXPECT_EQ(Tracked::alive, 1);
}

TEST(StringList, ObjectAsChecksTheAttachedType) {
    TStringList list;
    list.AddObject(u"x", std::make_unique<std::u16string>(u"value"));
    EXPECT_EQ(list.ObjectAs<Tracked>(0), nullptr);
    ASSERT_NE(list.ObjectAs<std::u16string>(0), nullptr);
    EXPECT_EQ(*list.ObjectAs<std::u16string>(0), u"value");
    EXPECT_EQ(list.ExtractObject<Tracked>(0), nullptr);  // not released under the wrong type
    EXPECT_NE(list.Objects(0), nullptr);
}

TEST(StringList, BadIndexAndSortedOnlyOperationsRaise) {
    TStringList list;
    list.Add(u"a");
    EXPECT_THROW(list.Strings(1), EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
    EXPECT_THROW(list.InsertObject(2, u"x", nullptr), EStringListError);
    list.SetSorted(true);
    EXPECT_THROW(list.Insert(0, u"b"), EStringListError);
    EXPECT_THROW(list.Put(0, u"b"), EStringListError);
    EXPECT_EQ(texts(list), std::vector<std::u16string>{u"a"});
}

TEST(StringList, SortedListInsertsInPlaceAndIgnoresPresentTexts) {
    Tracked::alive = 0;
    TStringList list;
    list.SetSorted(true);
    for (const char16_t* s : {u"delta", u"", u"Bravo", u"alpha", u"charlie"}) list.Add(s);
    EXPECT_EQ(texts(list), (std::vector<std::u16string>{u"", u"alpha", u"Bravo", u"charlie", u"delta"}));

    // A text present in another letter case is ignored, and so is its object.
    EXPECT_EQ(list.AddObject(u"BRAVO", std::make_unique<Tracked>()), 2);
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.IndexOf(u"CHARLIE"), 3);
    EXPECT_EQ(list.IndexOf(u"echo"), -1);
    int at = -1;
    EXPECT_FALSE(list.Find(u"bz", at));
    EXPECT_EQ(at, 3);

    // Case-sensitive, "Bravo" and "bravo" are two items; back to case-insensitive the list is
    // sorted again and a search lands on the first of the equal ones.
    list.SetCaseSensitive(true);
    list.Add(u"bravo");
    EXPECT_EQ(list.Count(), 6);
    list.SetCaseSensitive(false);
    const int first = list.IndexOf(u"BRAVO");
    ASSERT_GE(first, 1);
    EXPECT_NE(list.CompareStrings(list.Strings(first - 1), u"bravo"), 0);
    EXPECT_EQ(list.CompareStrings(list.Strings(first + 1), u"bravo"), 0);
}

TEST(StringList, UnsortedIndexOfFindsTheFirstEqualItem) {
    TStringList list;
    for (const char16_t* s : {u"b", u"Key", u"a", u"KEY", u"key"}) list.Add(s);
    EXPECT_EQ(list.IndexOf(u"key"), 1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(u"key"), 4);
    EXPECT_EQ(list.IndexOf(u"kEY"), -1);
}

TEST(StringList, SortOrdersCaseInsensitivelyWithTheEmptyTextFirst) {
    TStringList list;
    for (const char16_t* s : {u"b", u"C", u"", u"a", u"B"}) list.Add(s);
    list.Sort();
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Strings(0), u"");
    EXPECT_EQ(list.Strings(1), u"a");
    EXPECT_EQ(list.CompareStrings(list.Strings(2), u"b"), 0);
    EXPECT_EQ(list.CompareStrings(list.Strings(3), u"b"), 0);
    EXPECT_EQ(list.Strings(4), u"C");
    EXPECT_FALSE(list.Sorted());  // sorting once does not make a sorted list
}

// The lookup index of large lists must answer exactly as a scan with the list's comparison,
// through appends, deletes, inserts, replacements and sorting, for texts the index can fold
// and texts only the locale can compare.
TEST(StringList, LargeListLookupAgreesWithAScan) {
    const unsigned seed = testSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const std::vector<std::u16string> alphabet = {u"a", u"A", u"b", u"s", u"S", u"-", u"'", u" ", u"1",
                                                  u"\u00DF", u"\u00AD", u"\u00E4", u"\u00C4", u"ss", u"\u0131"};
    const auto randomText = [&] {
        std::u16string s;
        const int n = static_cast<int>(rng() % 4);
        for (int i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
        return s;
    };
    for (const bool caseSensitive : {false, true}) {
        SCOPED_TRACE(caseSensitive ? "case-sensitive" : "case-insensitive");
        TStringList list;
        list.SetCaseSensitive(caseSensitive);
        for (int round = 0; round < 1500; ++round) {
            const unsigned op = rng() % 10;
            if (op < 6 || list.Count() < 40) {
                list.Add(randomText());
            } else if (op == 6) {
                list.Delete(static_cast<int>(rng() % static_cast<unsigned>(list.Count())));
            } else if (op == 7) {
                list.Insert(static_cast<int>(rng() % static_cast<unsigned>(list.Count())), randomText());
            } else if (op == 8) {
                list.Put(static_cast<int>(rng() % static_cast<unsigned>(list.Count())), randomText());
            } else if (round % 100 == 0) {
                list.Sort();
            }
            const std::u16string probe = randomText();
            int expected = -1;
            for (int i = 0; i < list.Count() && expected < 0; ++i)
                if (platform::CompareText(list.Strings(i), probe, caseSensitive) == 0) expected = i;
            ASSERT_EQ(list.IndexOf(probe), expected) << "round " << round << " probe " << narrow(probe);
        }
    }
}

TEST(StringList, ChangeNotificationsAreHeldBackDuringAnUpdate) {
    TStringList list;
    int calls = 0;
    list.OnChange = [&](TStrings&) { ++calls; };
    list.Add(u"a");
    EXPECT_EQ(calls, 1);
    list.BeginUpdate();
    list.SetText(u"x\r\ny\r\n");
    list.Delete(0);
    EXPECT_EQ(calls, 1);
    list.EndUpdate();
    EXPECT_EQ(calls, 2);
}

TEST(StringList, TextSplitsAtCrLfOrThePairAndEndsEveryLine) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\n", {u"a"}},
        {u"a\rb\nc\r\nd", {u"a", u"b", u"c", u"d"}},
        {u"\r\n\r\n", {u"", u""}},
        {u"a\n\r", {u"a", u""}},
        {u"\r\r\n", {u"", u""}},
        {std::u16string(u"x\u0000y\n", 4), {std::u16string(u"x\u0000y", 3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        TStringList list;
        list.Add(u"old");
        list.SetText(c.text);
        EXPECT_EQ(texts(list), c.lines);
    }
    TStringList list;
    list.SetText(u"a\rb");
    EXPECT_EQ(list.Text(), u"a\r\nb\r\n");
    list.Clear();
    EXPECT_EQ(list.Text(), u"");
}

TEST(StringList, BytesCarryTheByteOrderMarkAndCrLfAfterEveryLine) {
    TStringList list;
    list.SetText(u"a=\u00E9\r\n\u20AC");
    struct Case {
        TTextEncoding encoding;
        std::string bytes;
    };
    const Case cases[] = {
        {TTextEncoding::Utf8, "\xEF\xBB\xBF" "a=\xC3\xA9\r\n\xE2\x82\xAC\r\n"},
        {TTextEncoding::Utf16LE, std::string("\xFF\xFE" "a\0=\0\xE9\0\r\0\n\0\xAC\x20\r\0\n\0", 18)},
        {TTextEncoding::Utf16BE, std::string("\xFE\xFF\0a\0=\0\xE9\0\r\0\n\x20\xAC\0\r\0\n", 18)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.encoding));
        EXPECT_EQ(list.SaveToBytes(c.encoding), c.bytes);
        TStringList back;
        EXPECT_EQ(back.LoadFromBytes(c.bytes), c.encoding);
        EXPECT_EQ(texts(back), texts(list));
    }
    TStringList ascii;
    ascii.SetText(u"k=v\n\n");
    EXPECT_EQ(ascii.SaveToBytes(TTextEncoding::Ansi), "k=v\r\n\r\n");
    EXPECT_EQ(TStringList().SaveToBytes(TTextEncoding::Utf8), "\xEF\xBB\xBF");
}

TEST(StringList, LoadFromBytesWithAGivenEncodingIsStrict) {
    TStringList list;
    list.Add(u"old");
    EXPECT_THROW(list.LoadFromBytes("a\r\n\xC3(", TTextEncoding::Utf8), EEncodingError);
    EXPECT_THROW(list.LoadFromBytes("\xEF\xBB\xBF\xFF"), EEncodingError);
    EXPECT_EQ(list.LoadFromBytes("\xEF\xBB\xBFx", TTextEncoding::Utf8), TTextEncoding::Utf8);
    EXPECT_EQ(texts(list), std::vector<std::u16string>{u"x"});
    // Without a mark the ANSI code page reads anything.
    EXPECT_EQ(list.LoadFromBytes("a\r\nb"), TTextEncoding::Ansi);
    EXPECT_EQ(texts(list), (std::vector<std::u16string>{u"a", u"b"}));
}

#ifdef _WIN32
// The user's locale, not code-unit order, decides the order of letters with diacritics.
TEST(StringList, WindowsLocaleOrdersUmlautsWithTheirBaseLetter) {
    TStringList list;
    list.SetSorted(true);
    for (const char16_t* s : {u"b", u"\u00E4", u"a", u"z"}) list.Add(s);
    EXPECT_EQ(texts(list), (std::vector<std::u16string>{u"a", u"\u00E4", u"b", u"z"}));
    EXPECT_EQ(list.IndexOf(u"\u00C4"), 1);
}
#endif

}  // namespace
