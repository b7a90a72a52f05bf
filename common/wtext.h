// Passing UTF-16 texts to and from the W functions of Win32.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 texts are UTF-16");

// A NUL-terminated wide pointer to the text of s (valid while s lives unchanged).
inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline wchar_t* W(char16_t* p) { return reinterpret_cast<wchar_t*>(p); }

// A text from a wide pointer (may be null) or a wide buffer with its length.
inline std::u16string U(const wchar_t* p) {
    return p ? std::u16string(reinterpret_cast<const char16_t*>(p)) : std::u16string();
}
inline std::u16string U(const wchar_t* p, size_t n) {
    return std::u16string(reinterpret_cast<const char16_t*>(p), n);
}
#endif
