// Small text, number and path routines shared by all units.
#include "common/text_helpers.h"

#include <bit>
#include <system_error>
#include <type_traits>

#include "common/exceptions.h"
#include "common/platform.h"

char16_t FirstChar(std::u16string_view s) { return s.empty() ? u' ' : s.front(); }

char16_t FirstCharOrNul(std::u16string_view s) { return s.empty() ? u'\0' : s.front(); }

char16_t LastChar(std::u16string_view s) { return s.empty() ? u' ' : s.back(); }

void TrimLeadingSpaces(std::u16string& s) {
    const std::size_t first = s.find_first_not_of(u' ');
    if (first == std::u16string::npos)
        s.clear();
    else
        s.erase(0, first);
}

void TrimTrailingSpaces(std::u16string& s) {
    const std::size_t last = s.find_last_not_of(u' ');
    s.erase(last == std::u16string::npos ? 0 : last + 1);
}

void TrimSpaces(std::u16string& s) {
    TrimTrailingSpaces(s);
    TrimLeadingSpaces(s);
}

void WithoutLastChar(std::u16string_view s, std::u16string& r) {
    if (s.size() >= 2) r = std::u16string(s.substr(0, s.size() - 1));  // copy first: s may view r
}

void DeleteLastChar(std::u16string& s) {
    if (!s.empty()) s.pop_back();
}

void TrimAtNul(std::u16string& s) {
    const std::size_t nul = s.find(u'\0');
    if (nul != std::u16string::npos) s.erase(nul);
}

void CutAtQuestionMark(std::u16string_view s, std::u16string& r) {
    r = std::u16string(s.substr(0, s.find(u'?')));
}

bool EndsWith(std::u16string_view suffix, std::u16string_view s) { return s.ends_with(suffix); }

int PosNoCase(const char16_t* sub, const char16_t* s) {
    if (!sub || !s || !*sub || !*s) return 0;
    for (const char16_t* start = s; *start; ++start) {
        const char16_t* a = start;
        const char16_t* b = sub;
        while (*a && *b && platform::CharUpper(*a) == platform::CharUpper(*b)) {
            ++a;
            ++b;
        }
        if (!*b) return static_cast<int>(start - s) + 1;
        if (!*a) return 0;  // the rest of s is shorter than sub
    }
    return 0;
}

static void mapCase(std::u16string& s, bool upper) {
    if (s.empty()) return;
    try {
        s = platform::MapCase(s, upper);
    } catch (const std::system_error& e) {
        throw EOSError(platform::FromUtf8(e.what()), e.code().value());
    }
}

void MakeUpper(std::u16string& s) { mapCase(s, true); }

void MakeLower(std::u16string& s) { mapCase(s, false); }

int ComparePChars(const char16_t* a, const char16_t* b) {
    if (!a) return b && *b ? 1 : 0;
    if (!b) return -1;
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<int>(*a) - static_cast<int>(*b);
}

int MinInt(int a, int b) { return a <= b ? a : b; }

bool InRect(int x, int y, int left, int top, int right, int bottom) {
    return left <= x && x <= right && top <= y && y <= bottom;
}

template <class Ch>
static void skipToImpl(char16_t ch, Ch*& p) {
    if (!p) throw Exception(u"skipTo mit Nil-Pointer");
    while (*p && *p != ch) ++p;
}

void skipTo(char16_t ch, const char16_t*& p) { skipToImpl(ch, p); }

void skipTo(char16_t ch, char16_t*& p) { skipToImpl(ch, p); }

int HexDigitValue(char16_t ch) {
    if (ch >= u'0' && ch <= u'9') return ch - u'0';
    if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
    if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
    return -1;
}

// Both widths share one parser; the arithmetic runs unsigned so that overflow wraps
// around as the settings format expects instead of being undefined.
template <class Int>
static Int parseInteger(std::u16string_view s, int& pos, int base) {
    using UInt = std::make_unsigned_t<Int>;
    const auto within = [&](int i) { return i >= 1 && static_cast<std::size_t>(i) <= s.size(); };
    int i = pos;
    pos = 1;
    bool negative = false;
    for (; within(i); ++i) {
        const char16_t c = s[i - 1];
        if (HexDigitValue(c) >= 0) break;
        if (c == u'$') {
            if (negative) return 0;
            base = 16;
        } else if (c == u'-') {
            if (base != 10) return 0;
            negative = !negative;
        } else {
            pos = i;
            return 0;
        }
    }
    UInt value = 0;
    for (; within(i); ++i) {
        const int digit = HexDigitValue(s[i - 1]);
        if (digit < 0 || digit >= base) break;
        value = static_cast<UInt>(value * static_cast<UInt>(base) + static_cast<UInt>(digit));
    }
    if (negative) value = static_cast<UInt>(UInt{0} - value);
    pos = i;
    return static_cast<Int>(value);
}

std::int32_t ParseInt(std::u16string_view s, int& pos, int base) { return parseInteger<std::int32_t>(s, pos, base); }

std::int64_t ParseInt64(std::u16string_view s, int& pos, int base) {
    return parseInteger<std::int64_t>(s, pos, base);
}

int CutInt(std::u16string& s) {
    int pos = 1;
    const int value = ParseInt(s, pos, 10);
    s.erase(0, static_cast<std::size_t>(pos - 1));
    return value;
}

std::u16string Int64ToHex16(std::int64_t value) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    auto bits = static_cast<std::uint64_t>(value);
    std::u16string r(16, u'0');
    for (int k = 15; k >= 0; --k) {
        r[static_cast<std::size_t>(k)] = digits[bits & 0xF];
        bits >>= 4;
    }
    return r;
}

double HexToDouble(std::u16string_view s) {
    int pos = 1;
    return std::bit_cast<double>(ParseInt64(s, pos, 16));
}

char16_t BoolChar(bool b) { return b ? u'1' : u'0'; }

bool TextToBool(std::u16string_view s) { return s.compare(u"0") > 0; }

void AddBackslash(std::u16string& s) {
    const char16_t sep = platform::PathSeparator();
    if (!s.empty() && s.back() != u':' && s.back() != sep) s += sep;
}

void DelBackslash(std::u16string& s) {
    if (!s.empty() && s.back() == platform::PathSeparator()) s.pop_back();
}

std::u16string FolderOf(std::u16string_view path) {
    const std::u16string_view separators = platform::PathSeparator() == u'\\' ? u"\\/" : u"/";
    const std::size_t sep = path.find_last_of(separators);
    return sep == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, sep));
}

bool IsFolderWritable(std::u16string_view dir) {
    std::u16string probe(dir);
    AddBackslash(probe);
    probe += u"$~test~$.$$$";
    if (!platform::CreateEmptyFile(probe)) return false;
    platform::RemoveFile(probe);
    return true;
}

bool FolderExists(std::u16string_view path) {
    std::u16string p(path);
    DelBackslash(p);
    if (p.size() == 2 && p[1] == u':') {
        p += platform::PathSeparator();
        p += u"*.*";
    }
    for (const platform::FoundEntry& e : platform::FindEntries(p))
        if (e.isDirectory) return true;
    return false;
}

bool HasUtf8Bom(std::u16string_view fn) {
    std::string head;
    return platform::ReadFileHead(fn, 3, head) && head == "\xEF\xBB\xBF";
}

const char16_t* NextParam(const char16_t* p, std::u16string& param) {
    param.clear();
    if (!p) return p;
    for (;;) {
        if (*p >= 1 && *p <= 32)
            ++p;
        else if (p[0] == u'"' && p[1] == u'"')
            p += 2;
        else
            break;
    }
    while (*p > 32 && param.size() < MaxParamLength) {
        if (*p != u'"') {
            param += *p++;
            continue;
        }
        ++p;  // opening quote
        // The limit holds inside quotes too. The rest of an overlong quoted part is skipped:
        // left for the next call, its closing quote would open a quoted part of its own and
        // swallow the parameters that follow.
        while (*p) {
            if (*p == u'"') {
                if (p[1] != u'"') {
                    ++p;  // closing quote
                    break;
                }
                p += 2;
                if (param.size() < MaxParamLength) param += u'"';
            } else {
                if (param.size() < MaxParamLength) param += *p;
                ++p;
            }
        }
    }
    return p;
}
