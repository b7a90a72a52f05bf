// TIniStream: parsing and rendering of INI documents, typed values and change tracking.
#include "settings/ini_stream.h"

#include <bit>
#include <charconv>
#include <limits>
#include <vector>

#include "common/string_object.h"
#include "common/text_helpers.h"

namespace {

// Parses a whole integer: leading spaces, a sign, then decimal digits or hexadecimal digits
// after "$", "x", "X", "0x" or "0X", and nothing else. Decimal values must lie within the
// signed range of `bits`; hexadecimal ones are taken as a bit pattern of that width and have
// at most one digit per four bits, leading zeros included.
bool parseWholeInteger(std::u16string_view s, int bits, std::int64_t& result) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    bool hex = false;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return false;
    const std::uint64_t patternMax = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    const std::uint64_t limit = hex ? patternMax : (std::uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
    const unsigned base = hex ? 16 : 10;
    if (hex && s.size() - i > static_cast<std::size_t>(bits / 4)) return false;
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int digit = HexDigitValue(s[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
        if (value > (limit - static_cast<unsigned>(digit)) / base) return false;
        value = value * base + static_cast<unsigned>(digit);
    }
    if (hex && bits == 32) value = static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(value)));
    // Two's complement negation, so that the most negative value and hexadecimal patterns wrap.
    if (negative) value = ~value + 1;
    if (bits == 32) value = static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(value)));
    result = static_cast<std::int64_t>(value);
    return true;
}

// A decimal number: optional spaces around it, a sign, digits with "." or "," before the
// fraction, and an optional exponent.
bool parseDecimal(std::u16string_view s, double& result) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    std::string ascii;
    std::size_t i = b;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < e && s[i] >= u'0' && s[i] <= u'9') ascii.push_back(static_cast<char>(s[i++]));
        return i - start;
    };
    if (i < e && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-') ascii.push_back('-');
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < e && (s[i] == u'.' || s[i] == u',')) {
        ascii.push_back('.');
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < e && (s[i] == u'e' || s[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < e && (s[i] == u'+' || s[i] == u'-')) ascii.push_back(static_cast<char>(s[i++]));
        if (digits() == 0) return false;
    }
    if (i != e) return false;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), result);
    return ec == std::errc() && end == ascii.data() + ascii.size();
}

std::u16string decimalText(std::int32_t value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::u16string(buf, r.ptr);
}

}  // namespace

// --- Parsing -------------------------------------------------------------------------------

void TIniStream::TLineParser::Line(std::u16string_view line) {
    if (line.empty()) return;
    if (!FHeadersToFirstBracket && line == u";$C") {
        FDoc.SetCaseSensitive(true);
        return;
    }
    if (line.front() == u'[') {
        std::u16string_view name = line.substr(1);
        if (FHeadersToFirstBracket)
            name = name.substr(0, name.find(u']'));
        else if (!name.empty() && name.back() == u']')
            name.remove_suffix(1);
        FCurrent = &FDoc.GetOrAddSection(std::u16string(name));
        return;
    }
    if (!FCurrent) FCurrent = &FDoc.GetOrAddSection({});
    FCurrent->AddKWLine(line);
}

// --- TIniStream ----------------------------------------------------------------------------

TIniStream::TIniStream() { FSections.SetSorted(true); }

TIniStream::~TIniStream() = default;

void TIniStream::SectionReopened(const std::u16string&) {}

int TIniStream::LastSectionIf(std::u16string_view name) const {
    const int i = FLastSection;
    return i >= 0 && i < FSections.Count() && FSections.Strings(i) == name ? i : -1;
}

int TIniStream::IndexOfSection(std::u16string_view name) const {
    int i = LastSectionIf(name);
    if (i >= 0) return i;
    i = FSections.IndexOf(name);
    if (i >= 0) FLastSection = i;
    return i;
}

TIniSection& TIniStream::GetOrAddSection(const std::u16string& name) {
    int index = LastSectionIf(name);
    if (index >= 0 || FSections.Find(name, index)) {
        FLastSection = index;
        SectionReopened(name);
        if (TIniSection* section = FSections.getSections(index)) return *section;
        FSections.PutObject(index, std::make_unique<TIniSection>());
        return *FSections.getSections(index);
    }
    auto section = std::make_unique<TIniSection>();
    TIniSection& result = *section;
    FLastSection = FSections.AddObject(name, std::move(section));
    return result;
}

TIniSection* TIniStream::getSectionByName(std::u16string_view name) const {
    const int i = IndexOfSection(name);
    return i < 0 ? nullptr : getsections(i);
}

void TIniStream::Clear() {
    FSections.Clear();
    FLastSection = -1;
}

void TIniStream::ClearSection(const std::u16string& sectionName) {
    const int i = IndexOfSection(sectionName);
    if (i < 0) return;
    FSections.Delete(i);
    FLastSection = -1;
    SetModified();
}

std::unique_ptr<TIniSection> TIniStream::AddSection(const std::u16string& nm, std::unique_ptr<TIniSection> aSection) {
    SetModified();
    if (!aSection) return nullptr;
    if (aSection->Count() == 0) aSection->AddLine(u"?", u"?");
    if (IndexOfSection(nm) >= 0) return aSection;
    FLastSection = FSections.AddObject(nm, std::move(aSection));
    return nullptr;
}

bool TIniStream::isEmpty() const {
    for (int i = 0; i < Count(); ++i) {
        const TIniSection* section = getsections(i);
        if (section && !section->isEmpty()) return false;
    }
    return true;
}

void TIniStream::LoadFromList(const TStrings& li) {
    TLineParser parser(*this, false);
    for (int i = 0; i < li.Count(); ++i) parser.Line(li.Strings(i));
}

void TIniStream::LoadFromStream(std::string_view bytes) {
    Clear();
    const TTextEncoding e = EncodingFromPreamble(bytes).value_or(TTextEncoding::Ansi);
    FEncoding = e;
    const std::u16string text = DecodeText(SkipPreamble(bytes, e), e);
    TLineParser parser(*this, false);
    ForEachLine(text, [&parser](std::u16string_view line) { parser.Line(line); });
}

template <class Emit>
void TIniStream::ForEachWrittenLine(Emit&& emit) const {
    if (CaseSensitive()) emit(u";$C", u"", u"");
    for (int i = 0; i < Count(); ++i) {
        const TIniSection* section = getsections(i);
        if (!section || section->Count() == 0) continue;
        const std::u16string& name = getSectionNames(i);
        if (!name.empty()) emit(u"[", name, u"]");
        section->ForEachSavedLine([&emit](std::u16string_view key, std::u16string_view value) {
            emit(key, key.empty() ? u"" : u"=", value);
        });
    }
}

void TIniStream::SaveToList(TStrings& li) const {
    const TStringsUpdate batch(li);
    ForEachWrittenLine([&li](std::u16string_view a, std::u16string_view b, std::u16string_view c) {
        std::u16string line;
        line.reserve(a.size() + b.size() + c.size());
        line.append(a).append(b).append(c);
        li.Add(std::move(line));
    });
}

std::u16string TIniStream::RenderText() const {
    std::u16string text;
    ForEachWrittenLine([&text](std::u16string_view a, std::u16string_view b, std::u16string_view c) {
        text.append(a).append(b).append(c).append(u"\r\n");
    });
    return text;
}

void TIniStream::SaveToStream(std::string& st, std::optional<TTextEncoding> aEncoding) const {
    const TTextEncoding e = aEncoding.value_or(TTextEncoding::Ansi);
    st += Preamble(e);
    AppendEncoded(st, RenderText(), e);
}

// --- Reading -------------------------------------------------------------------------------

std::u16string TIniStream::ReadString(const std::u16string& section, const std::u16string& key,
                                      const std::u16string& def) {
    const TIniSection* s = getSectionByName(section);
    if (!s) return def;
    const std::u16string& value = s->getString(key);
    return value.empty() ? def : value;
}

bool TIniStream::ReadBool(const std::u16string& section, const std::u16string& key, bool def) {
    const std::u16string s = ReadString(section, key, {});
    return s.empty() ? def : TextToBool(s);
}

std::int32_t TIniStream::ReadInteger(const std::u16string& section, const std::u16string& key, std::int32_t def) {
    const std::u16string s = ReadString(section, key, {});
    if (s.empty()) return def;
    std::int64_t value = 0;
    return parseWholeInteger(s, 32, value) ? static_cast<std::int32_t>(value) : 0;
}

std::int64_t TIniStream::ReadInt64(const std::u16string& section, const std::u16string& key, std::int32_t def) {
    const std::u16string s = ReadString(section, key, {});
    std::int64_t value = 0;
    return !s.empty() && parseWholeInteger(s, 64, value) ? value : def;
}

double TIniStream::ReadFloat(const std::u16string& Section, const std::u16string& Name, double Default) {
    const std::u16string s = ReadString(Section, Name, {});
    double value = 0;
    return !s.empty() && parseDecimal(s, value) ? value : Default;
}

double TIniStream::ReadDouble(const std::u16string& section, const std::u16string& key, double def) {
    const std::u16string s = ReadString(section, key, {});
    return s.empty() ? def : HexToDouble(s);
}

TPoint TIniStream::ReadPoint(const std::u16string& section, const std::u16string& key, const std::u16string& def) {
    std::u16string s = ReadString(section, key, {});
    if (s.empty()) s = def;
    TPoint p;
    int pos = 1;
    p.X = ParseInt(s, pos, 10);
    if (pos >= 1 && static_cast<std::size_t>(pos) <= s.size() && s[static_cast<std::size_t>(pos) - 1] == u',') ++pos;
    p.Y = ParseInt(s, pos, 10);
    return p;
}

void TIniStream::ReadSectionLines(const std::u16string& section, TStrings& list, bool withCommentLines) {
    const TStringsUpdate batch(list);
    list.Clear();
    if (const TIniSection* s = getSectionByName(section)) s->GetSectionLines(list, withCommentLines);
}

void TIniStream::ReadSectionLineNames(const std::u16string& section, TStrings& list) {
    ReadSectionLines(section, list, false);
    std::vector<std::u16string> names;
    names.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        const std::u16string& line = list.Strings(i);
        const std::size_t eq = line.find(u'=');
        if (eq != std::u16string::npos) names.push_back(line.substr(0, eq));
    }
    const TStringsUpdate batch(list);
    list.Clear();
    for (std::u16string& name : names) list.Add(std::move(name));
}

void TIniStream::ReadSectionNames(TStrings& list) const {
    const TStringsUpdate batch(list);
    list.Clear();
    for (int i = 0; i < Count(); ++i) list.AddObject(getSectionNames(i), getsections(i));
}

// --- Changing ------------------------------------------------------------------------------

bool TIniStream::RenameSection(int index, const std::u16string& newName) {
    const std::u16string& oldName = getSectionNames(index);  // raises for a bad index
    const int other = IndexOfSection(newName);
    if (other >= 0 && other != index) return false;
    if (oldName == newName) return true;
    std::unique_ptr<TIniSection> section = FSections.ExtractObject<TIniSection>(index);
    FSections.Delete(index);
    FLastSection = FSections.AddObject(newName, std::move(section));
    SetModified();
    return true;
}

void TIniStream::SortKeywords() {
    for (int i = 0; i < Count(); ++i)
        if (TIniSection* s = getsections(i)) s->Sort();
}

void TIniStream::DelDupLines() {
    for (int i = 0; i < Count(); ++i)
        if (TIniSection* s = getsections(i)) s->DelDupLines();
}

void TIniStream::WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value) {
    if (ReadString(section, key, {}) == value) return;
    if (GetOrAddSection(section).putValue(key, value)) SetModified();
}

void TIniStream::WriteBool(const std::u16string& section, const std::u16string& key, bool value) {
    WriteString(section, key, std::u16string(1, BoolChar(value)));
}

void TIniStream::WriteInteger(const std::u16string& section, const std::u16string& key, std::int32_t value) {
    WriteString(section, key, decimalText(value));
}

void TIniStream::WriteDouble(const std::u16string& section, const std::u16string& key, double value) {
    WriteString(section, key, Int64ToHex16(std::bit_cast<std::int64_t>(value)));
}

void TIniStream::WriteSectionLines(const std::u16string& section, const TStrings& list, bool withCommentLines) {
    GetOrAddSection(section).SetSectionLines(list, withCommentLines);
    SetModified();
}
