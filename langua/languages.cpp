// Resource codes of the user-interface languages as texts.
#include "langua/languages.h"

std::u16string LanguageCodeText(std::uint8_t lang) {
    const std::uint32_t code = LanguageCode(lang);
    return {static_cast<char16_t>(code & 0xFFFFu), static_cast<char16_t>(code >> 16)};
}
