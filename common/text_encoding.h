// Text encodings of stored text: byte order marks, strict decoding and encoding.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/exceptions.h"

// The encodings a text file of this program may use. Ansi is the system's ANSI code page and
// has no byte order mark.
enum class TTextEncoding : std::uint8_t { Ansi, Utf8, Utf16LE, Utf16BE };

// Raised when bytes are not valid in the encoding they are decoded with.
class EEncodingError : public Exception {
public:
    using Exception::Exception;
};

// The byte order mark written before text in encoding e: EF BB BF, FF FE, FE FF, or nothing.
std::string_view Preamble(TTextEncoding e) noexcept;

// True when bytes is at least as long as prefix and begins with it.
bool StartsWithBytes(std::string_view bytes, std::string_view prefix) noexcept;

// The encoding announced by a byte order mark at the start of bytes; none without a mark.
std::optional<TTextEncoding> EncodingFromPreamble(std::string_view bytes) noexcept;

// Bytes without a leading byte order mark of encoding e (unchanged when there is none).
std::string_view SkipPreamble(std::string_view bytes, TTextEncoding e) noexcept;

// Strict decoding (no byte order mark is expected or skipped): false on the first byte
// sequence that is not valid in e - overlong or truncated UTF-8 forms, encoded surrogates,
// code points above U+10FFFF, lone UTF-16 surrogates or an odd number of UTF-16 bytes. The
// text is appended to out; after a failure out may hold part of it. Ansi never fails.
bool TryDecodeText(std::string_view bytes, TTextEncoding e, std::u16string& out);

// Strict decoding that raises EEncodingError instead of returning false.
std::u16string DecodeText(std::string_view bytes, TTextEncoding e);

// Lenient UTF-16 decoding: lone surrogates and a last odd byte become U+FFFD.
std::u16string DecodeUtf16Lenient(std::string_view bytes, bool bigEndian);

// Appends text in encoding e, without a byte order mark. Never fails: a lone surrogate, which
// no Unicode encoding can carry, is written as U+FFFD so that the bytes always decode again;
// characters missing from the ANSI code page become '?'.
void AppendEncoded(std::string& out, std::u16string_view text, TTextEncoding e);
