// Byte order marks and the strict UTF-8 and UTF-16 codecs of stored text.
#include "common/text_encoding.h"

#include "common/platform.h"

namespace {

constexpr char16_t replacementChar = 0xFFFD;

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

bool decodeUtf8(std::string_view bytes, std::u16string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    out.reserve(out.size() + bytes.size());
    while (p < end) {
        const unsigned char b0 = *p;
        if (b0 < 0x80) {
            out.push_back(b0);
            ++p;
            continue;
        }
        // The ranges of the second byte exclude overlong forms (E0, F0), encoded surrogates (ED)
        // and code points above U+10FFFF (F4); C0, C1 and F5..FF never start a sequence.
        int extra;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t cp;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1, cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2, cp = b0 & 0x0F;
            if (b0 == 0xE0) lo = 0xA0;
            if (b0 == 0xED) hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3, cp = b0 & 0x07;
            if (b0 == 0xF0) lo = 0x90;
            if (b0 == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (end - p <= extra) return false;
        if (p[1] < lo || p[1] > hi) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        appendCodePoint(out, cp);
        p += extra + 1;
    }
    return true;
}

char16_t unitAt(const unsigned char* p, bool bigEndian) {
    return static_cast<char16_t>(bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
}

// Strict unless lenient is set, when every invalid unit becomes U+FFFD.
bool decodeUtf16(std::string_view bytes, bool bigEndian, bool lenient, std::u16string& out) {
    if (bytes.size() % 2 != 0 && !lenient) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size() / 2;
    out.reserve(out.size() + n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t u = unitAt(p + 2 * i, bigEndian);
        if (isHighSurrogate(u) && i + 1 < n && isLowSurrogate(unitAt(p + 2 * i + 2, bigEndian))) {
            out.push_back(u);
            out.push_back(unitAt(p + 2 * i + 2, bigEndian));
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            if (!lenient) return false;
            out.push_back(replacementChar);
        } else {
            out.push_back(u);
        }
    }
    if (bytes.size() % 2 != 0) out.push_back(replacementChar);
    return true;
}

void encodeUtf8(std::string& out, std::u16string_view text) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        if (isHighSurrogate(cp) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (isHighSurrogate(cp) || isLowSurrogate(cp)) {
            cp = replacementChar;
        }
        if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void encodeUtf16(std::string& out, std::u16string_view text, bool bigEndian) {
    out.reserve(out.size() + 2 * text.size());
    const auto put = [&](char16_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            put(u);
            put(text[++i]);
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            put(replacementChar);
        } else {
            put(u);
        }
    }
}

}  // namespace

std::string_view Preamble(TTextEncoding e) noexcept {
    switch (e) {
        case TTextEncoding::Utf8: return "\xEF\xBB\xBF";
        case TTextEncoding::Utf16LE: return "\xFF\xFE";
        case TTextEncoding::Utf16BE: return "\xFE\xFF";
        case TTextEncoding::Ansi: break;
    }
    return {};
}

bool StartsWithBytes(std::string_view bytes, std::string_view prefix) noexcept {
    return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

std::optional<TTextEncoding> EncodingFromPreamble(std::string_view bytes) noexcept {
    for (const TTextEncoding e : {TTextEncoding::Utf8, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE})
        if (StartsWithBytes(bytes, Preamble(e))) return e;
    return std::nullopt;
}

std::string_view SkipPreamble(std::string_view bytes, TTextEncoding e) noexcept {
    const std::string_view mark = Preamble(e);
    if (!mark.empty() && StartsWithBytes(bytes, mark)) bytes.remove_prefix(mark.size());
    return bytes;
}

bool TryDecodeText(std::string_view bytes, TTextEncoding e, std::u16string& out) {
    switch (e) {
        case TTextEncoding::Utf8: return decodeUtf8(bytes, out);
        case TTextEncoding::Utf16LE: return decodeUtf16(bytes, false, false, out);
        case TTextEncoding::Utf16BE: return decodeUtf16(bytes, true, false, out);
        case TTextEncoding::Ansi: break;
    }
    out += platform::AnsiToText(bytes);
    return true;
}

std::u16string DecodeText(std::string_view bytes, TTextEncoding e) {
    std::u16string text;
    if (!TryDecodeText(bytes, e, text))
        throw EEncodingError(u"Die Bytefolge ist in der Textkodierung nicht g\u00FCltig.");
    return text;
}

std::u16string DecodeUtf16Lenient(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    decodeUtf16(bytes, bigEndian, true, text);
    return text;
}

void AppendEncoded(std::string& out, std::u16string_view text, TTextEncoding e) {
    switch (e) {
        case TTextEncoding::Utf8: encodeUtf8(out, text); return;
        case TTextEncoding::Utf16LE: encodeUtf16(out, text, false); return;
        case TTextEncoding::Utf16BE: encodeUtf16(out, text, true); return;
        case TTextEncoding::Ansi: break;
    }
    out += platform::TextToAnsi(text);
}
