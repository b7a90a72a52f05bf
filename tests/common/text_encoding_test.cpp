// Tests of the strict text codecs and byte order marks.
#include "common/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(std::string_view bytes) {
    std::string r;
    for (const unsigned char b : bytes) {
        static const char digits[] = "0123456789ABCDEF";
        r += digits[b >> 4];
        r += digits[b & 15];
        r += ' ';
    }
    return r;
}

TEST(TextEncoding, Utf8RejectsEveryInvalidSequence) {
    const char* const rejects[] = {
        "\x80",              // continuation byte without a start
        "\xBF",
        "\xC0\xAF",          // overlong '/'
        "\xC1\xBF",          // overlong
        "\xE0\x80\xAF",      // overlong three-byte form
        "\xE0\x9F\xBF",      // overlong, highest
        "\xF0\x80\x80\xAF",  // overlong four-byte form
        "\xF0\x8F\xBF\xBF",
        "\xED\xA0\x80",      // encoded high surrogate
        "\xED\xBF\xBF",      // encoded low surrogate
        "\xED\xA0\xBD\xED\xB2\xA9",  // an encoded surrogate pair
        "\xF4\x90\x80\x80",  // U+110000
        "\xF5\x80\x80\x80",
        "\xFF",
        "\xFE",
        "\xC3",              // truncated two-byte form
        "\xE2\x82",          // truncated three-byte form
        "\xF0\x9F\x98",      // truncated four-byte form
        "a\xC3(b",           // second byte not a continuation
        "\xE2\x28\xA1",
        "\xF0\x9F\x98\x28",
    };
    for (const char* bad : rejects) {
        SCOPED_TRACE(hex(bad));
        std::u16string out;
        EXPECT_FALSE(TryDecodeText(bad, TTextEncoding::Utf8, out));
        EXPECT_THROW(DecodeText(bad, TTextEncoding::Utf8), EEncodingError);
    }
}

TEST(TextEncoding, Utf8DecodesTheBoundariesOfEverySequenceLength) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {std::string("\0\x7F", 2), std::u16string(u"\u0000\u007F", 2)},
        {"\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        {"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\u0800\uD7FF\uE000\uFFFF"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
        {"\xEF\xBB\xBF", u"\uFEFF"},  // no mark is skipped while decoding
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hex(c.bytes));
        EXPECT_EQ(DecodeText(c.bytes, TTextEncoding::Utf8), c.text);
        std::string back;
        AppendEncoded(back, c.text, TTextEncoding::Utf8);
        EXPECT_EQ(back, c.bytes);
    }
}

TEST(TextEncoding, Utf16NeedsPairedSurrogatesAndWholeUnits) {
    struct Case {
        std::string le;
        bool valid;
    };
    const Case cases[] = {
        {std::string("a\0", 2), true},
        {std::string("=\xD8\x00\xDC", 4), true},  // D83D DC00, a surrogate pair
        {std::string("\x00\xD8", 2), false},       // lone high surrogate at the end
        {std::string("\x00\xDC" "a\0", 4), false},  // lone low surrogate
        {std::string("\x00\xD8" "a\0", 4), false},  // high surrogate followed by a letter
        {std::string("a\0b", 3), false},            // odd number of bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(hex(c.le));
        std::u16string out;
        EXPECT_EQ(TryDecodeText(c.le, TTextEncoding::Utf16LE, out), c.valid);
        std::string be = c.le;
        for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
        EXPECT_EQ(TryDecodeText(be, TTextEncoding::Utf16BE, out), c.valid);
    }
    EXPECT_EQ(DecodeUtf16Lenient(std::string("a\0\x00\xDC" "b", 5), false), u"a\uFFFD\uFFFD");
}

TEST(TextEncoding, LoneSurrogatesAreWrittenAsReplacementCharacters) {
    const std::u16string text = u"a\xD800z\xDC00";
    for (const TTextEncoding e : {TTextEncoding::Utf8, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE}) {
        SCOPED_TRACE(static_cast<int>(e));
        std::string bytes;
        AppendEncoded(bytes, text, e);
        EXPECT_EQ(DecodeText(bytes, e), u"a\uFFFDz\uFFFD");
    }
}

TEST(TextEncoding, PreamblesAreRecognisedAndSkipped) {
    EXPECT_EQ(EncodingFromPreamble("\xEF\xBB\xBFx"), TTextEncoding::Utf8);
    EXPECT_EQ(EncodingFromPreamble("\xFF\xFE"), TTextEncoding::Utf16LE);
    EXPECT_EQ(EncodingFromPreamble("\xFE\xFF"), TTextEncoding::Utf16BE);
    EXPECT_EQ(EncodingFromPreamble("\xEF\xBB"), std::nullopt);
    EXPECT_EQ(EncodingFromPreamble(""), std::nullopt);
    EXPECT_EQ(SkipPreamble("\xFF\xFE" "a", TTextEncoding::Utf16LE), "a");
    EXPECT_EQ(SkipPreamble("\xFF\xFE" "a", TTextEncoding::Utf8), "\xFF\xFE" "a");
    EXPECT_EQ(Preamble(TTextEncoding::Ansi), "");
    EXPECT_TRUE(StartsWithBytes("abc", ""));
    EXPECT_FALSE(StartsWithBytes("ab", "abc"));
}

}  // namespace
