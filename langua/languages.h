// The user-interface languages and the two-letter codes that name their resources.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// A user-interface language; one byte.
enum TLanguages : std::uint8_t {
    lg_GR,  // German
    lg_US,  // English (United States)
    lg_ES,  // Spanish
    lg_UK,  // English (United Kingdom): uses the US resources
    lg_EM,  // Spanish (Mexico): uses the ES resources
    lg_RU,  // Russian
    lg_VY,  // uses the GR resources
    lg_QX,  // uses the US resources
    lg_none,
};

struct TLanguageRecord {
    std::uint16_t LangId;           // Windows language identifier
    TLanguages BaseLang;            // the language whose code, and so whose resources, this one uses
    std::uint8_t Reserved;          // always 0
    std::array<char16_t, 2> AltAbbrev;
    std::array<char16_t, 2> Abbrev;  // the language's own code
};

inline constexpr std::array<TLanguageRecord, 9> LanguageTable{{
    {0x0407, lg_GR, 0, {u'G', u'R'}, {u'G', u'R'}},
    {0x0409, lg_US, 0, {u'U', u'S'}, {u'U', u'S'}},
    {0x040A, lg_ES, 0, {u'E', u'S'}, {u'E', u'S'}},
    {0x0809, lg_US, 0, {u'U', u'S'}, {u'U', u'K'}},
    {0x080A, lg_ES, 0, {u'E', u'S'}, {u'E', u'M'}},
    {0x0419, lg_RU, 0, {u'R', u'U'}, {u'R', u'U'}},
    {0x0406, lg_GR, 0, {u'V', u'Y'}, {u'V', u'Y'}},
    {0x0408, lg_US, 0, {u'Q', u'X'}, {u'Q', u'X'}},
    {0x0000, lg_GR, 0, {u'G', u'R'}, {u'G', u'R'}},
}};

// The resource code of a language: the code of its base language, as two UTF-16 characters in
// one value, the first in the low half. The top bit of the argument is ignored; any other
// value past lg_none is treated as lg_none (code "GR").
constexpr std::uint32_t LanguageCode(std::uint8_t lang) noexcept {
    std::size_t row = lang & 0x7Fu;
    if (row >= LanguageTable.size()) row = lg_none;
    const auto& abbrev = LanguageTable[LanguageTable[row].BaseLang].Abbrev;
    return static_cast<std::uint32_t>(abbrev[0]) | static_cast<std::uint32_t>(abbrev[1]) << 16;
}

// LanguageCode as a two-character text, ready to be appended to a resource name.
std::u16string LanguageCodeText(std::uint8_t lang);

// The languages that have menus and key names of their own: the subrange lg_GR .. lg_ES, one
// byte. Any other language stored here becomes its base language when that lies in the
// subrange (lg_UK -> lg_US, lg_EM -> lg_ES, lg_VY -> lg_GR, lg_QX -> lg_US), else lg_GR, so a
// value of this type can always index a table with one row per subrange language.
class TLanguages1 {
public:
    static constexpr TLanguages First = lg_GR;
    static constexpr TLanguages Last = lg_ES;

    constexpr TLanguages1() noexcept = default;
    constexpr TLanguages1(TLanguages lang) noexcept : FValue(inRange(lang)) {}

    constexpr operator TLanguages() const noexcept { return FValue; }

private:
    static constexpr TLanguages inRange(TLanguages lang) noexcept {
        if (lang <= Last) return lang;
        if (lang < LanguageTable.size() && LanguageTable[lang].BaseLang <= Last) return LanguageTable[lang].BaseLang;
        return First;
    }

    TLanguages FValue = First;
};
static_assert(sizeof(TLanguages) == 1 && sizeof(TLanguages1) == 1);
