// Fuzz target: an INI document from arbitrary bytes, written back and read again: the document
// read back must be the same, section by section, key by key, value by value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/platform.h"
#include "common/string_list.h"
#include "common/text_encoding.h"
#include "settings/ini_file.h"
#include "settings/ini_stream.h"

namespace {

// Whether writing the document and reading it back must give the same document. Keyed lines
// always come back (a value in single quotes is written inside one more pair, a key that begins
// with ";" or "[" after a space). Some documents still change on the way; these are the ways
// the text form allows:
// - a keyless line that begins with "[" or is ";$C" reads back as a header or the marker;
// - a keyless line with "=" reads back as a keyed line;
// - a section whose lines all have empty values is written as a bare header, which reads back
//   as a section without lines, and that is not written at all.
bool writesBackTheSame(const TIniStream& doc) {
    for (int s = 0; s < doc.Count(); ++s) {
        const TIniSection& sec = *doc.Sections(s);
        bool anyValue = false;
        for (int i = 0; i < sec.Count(); ++i) {
            const std::u16string& key = sec.Strings(i);
            const std::u16string& value = sec.Values(i);
            if (value.empty()) continue;
            anyValue = true;
            if (!key.empty()) continue;
            if (value.front() == u';') {
                if (value == u";$C") return false;
            } else if (value.front() == u'[' || value.find(u'=') != std::u16string::npos) {
                return false;
            }
        }
        if (sec.Count() > 0 && !anyValue) return false;
    }
    return true;
}

[[noreturn]] void fail(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s\n--- first (%zu bytes)\n%s\n--- second (%zu bytes)\n%s\n", what, a.size(), a.c_str(),
                 b.size(), b.c_str());
    std::abort();
}

// The document as its text form keeps it: ";$C" or not, then every section that has a line
// with a value, by name, with those lines (key and value) in order. Lines with an empty value
// are not written, and a section without such lines is not either.
std::string describe(const TIniStream& doc) {
    std::u16string d = doc.CaseSensitive() ? u"case-sensitive\n" : u"case-insensitive\n";
    for (int s = 0; s < doc.Count(); ++s) {
        const TIniSection& sec = *doc.Sections(s);
        std::u16string lines;
        for (int i = 0; i < sec.Count(); ++i) {
            if (sec.Values(i).empty()) continue;
            lines += sec.Strings(i).empty() ? u"  keyless " : u"  key " + sec.Strings(i) + u" value ";
            lines += sec.Values(i) + u"\n";
        }
        if (!lines.empty()) d += u"section " + doc.SectionNames(s) + u"\n" + lines;
    }
    return platform::ToUtf8(d);
}

// Every typed read over the first lines of every section: they parse stored text.
void readTyped(TIniStream& doc) {
    for (int s = 0; s < doc.Count(); ++s) {
        const std::u16string name = doc.SectionNames(s);
        const TIniSection& sec = *doc.Sections(s);
        for (int i = 0; i < sec.Count() && i < 16; ++i) {
            const std::u16string key = sec.Strings(i);
            (void)doc.ReadBool(name, key, true);
            (void)doc.ReadInteger(name, key, 7);
            (void)doc.ReadInt64(name, key, 7);
            (void)doc.ReadFloat(name, key, 1.5);
            (void)doc.ReadDouble(name, key, 1.5);
            (void)doc.ReadPoint(name, key, u"1,2");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The file loader's fallback: undecodable lines are read in the ANSI code page.
    const TTextEncoding guess = EncodingFromPreamble(bytes).value_or(TTextEncoding::Utf8);
    TStringList lines;
    (void)DecodeLinewise(bytes, guess, lines);
    TIniStream fromLines;
    fromLines.LoadFromList(lines);
    std::string ignored;
    fromLines.SaveToStream(ignored, guess);

    // The other header rule of TIni::ReadFromString.
    TIni fromString(u"");
    fromString.ReadFromString(lines.Text());
    readTyped(fromString);

    TIniStream doc;
    try {
        doc.LoadFromStream(bytes);
    } catch (const EEncodingError&) {
        return 0;
    }
    readTyped(doc);
    if (!writesBackTheSame(doc)) return 0;
    std::string first;
    doc.SaveToStream(first, doc.Encoding());
    // Text in the ANSI code page that happens to begin with the bytes of a byte order mark
    // ("ï»¿", "ÿþ", "þÿ" in code page 1252) is taken for that encoding when read again: the
    // text form has no way to tell them apart.
    const bool ansi = doc.Encoding().value_or(TTextEncoding::Ansi) == TTextEncoding::Ansi;
    if (ansi && EncodingFromPreamble(first)) return 0;
    TIniStream again;
    try {
        again.LoadFromStream(first);
    } catch (const EEncodingError& e) {
        fail(e.what(), first, "");
    }
    // The same text could come from another document (a key taken for a comment, say, writes
    // the same line), so the documents themselves are compared.
    if (describe(doc) != describe(again)) fail("the document read back differs", describe(doc), describe(again));
    std::string second;
    again.SaveToStream(second, again.Encoding());
    if (first != second) fail("written text does not read back the same", first, second);
    return 0;
}
