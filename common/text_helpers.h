// Small text, number and path routines shared by all units.
// Positions are 1-based code-unit positions; "var" arguments are std::u16string&.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

// --- Characters and trimming ---------------------------------------------------------------

// First character of s; a space for the empty text.
char16_t FirstChar(std::u16string_view s);
// First character of s; NUL for the empty text.
char16_t FirstCharOrNul(std::u16string_view s);
// Last character of s; a space for the empty text.
char16_t LastChar(std::u16string_view s);

// Remove spaces (code 32 only; tabs stay) from the start, the end, or both ends.
void TrimLeadingSpaces(std::u16string& s);
void TrimTrailingSpaces(std::u16string& s);
void TrimSpaces(std::u16string& s);

// r := s without its last character when s has at least two characters; else r is unchanged.
void WithoutLastChar(std::u16string_view s, std::u16string& r);
// Removes the last character of a non-empty s.
void DeleteLastChar(std::u16string& s);
// Shortens s to the part before its first NUL (after system calls that fill a buffer).
void TrimAtNul(std::u16string& s);
// r := s up to, not including, its first '?'; all of s when there is none.
void CutAtQuestionMark(std::u16string_view s, std::u16string& r);
// True when s ends with suffix (exact comparison); the empty suffix always matches.
bool EndsWith(std::u16string_view suffix, std::u16string_view s);

// 1-based position of sub in s, comparing characters after upper-casing each one singly
// (platform::CharUpper). 0 when not found, when either is null, s is empty or sub is empty.
int PosNoCase(const char16_t* sub, const char16_t* s);

// Linguistic case mapping in the user's locale; a failing mapping raises EOSError.
void MakeUpper(std::u16string& s);
void MakeLower(std::u16string& s);

// Ordinal comparison of two NUL-terminated texts, each possibly null:
// a null: 1 when b is non-empty, else 0; a present and b null: -1.
int ComparePChars(const char16_t* a, const char16_t* b);

int MinInt(int a, int b);
// left <= x <= right and top <= y <= bottom, all bounds inclusive.
bool InRect(int x, int y, int left, int top, int right, int bottom);

// Frees a heap block and clears the owner.
template <class T>
void FreeMemAndNil(std::unique_ptr<T>& p) noexcept {
    p.reset();
}
// The same for a block from std::malloc (buffers handed over by C-style interfaces).
inline void FreeMemAndNil(void*& p) noexcept {
    std::free(p);
    p = nullptr;
}

// Advances p until it points at ch or at the terminating NUL.
// A null p raises Exception "skipTo mit Nil-Pointer".
void skipTo(char16_t ch, const char16_t*& p);
void skipTo(char16_t ch, char16_t*& p);

// --- Numbers and values --------------------------------------------------------------------

// '0'-'9' give 0-9, 'A'-'F' and 'a'-'f' give 10-15, anything else -1.
int HexDigitValue(char16_t ch);

// Parses an integer from position pos (1-based) in base 10 or 16.
// Before the first digit (any of 0-9, A-F, a-f, even in base 10): '$' switches to base 16;
// '-' toggles the sign, but only in base 10. "-$5", "$-5" and "-5" in base 16 give 0 with
// pos 1; any other character gives 0 with pos at that character. Then digits of the base
// are taken with wrap-around arithmetic, and pos is left at the first character not used
// ("12,34": 12, pos 3; "1A" in base 10: 1, pos 2; "--5": 5; "": 0, pos 1).
std::int32_t ParseInt(std::u16string_view s, int& pos, int base);
std::int64_t ParseInt64(std::u16string_view s, int& pos, int base);

// ParseInt of s from position 1 in base 10; deletes the characters that were used.
int CutInt(std::u16string& s);

// Exactly 16 upper-case hexadecimal digits, most significant first.
std::u16string Int64ToHex16(std::int64_t value);
// ParseInt64 of s in base 16; the 64 bits taken as a binary64 value.
double HexToDouble(std::u16string_view s);

// '1' for true, '0' for false.
char16_t BoolChar(bool b);
// True when s is greater than "0" in ordinal comparison ("false" is true, "0" and "" false).
bool TextToBool(std::u16string_view s);

// --- Files and paths -----------------------------------------------------------------------
// "Backslash" is the platform's path separator (platform::PathSeparator()): '\' on Windows,
// '/' on POSIX.

// Appends a separator to a non-empty s unless it ends in ':' or a separator.
void AddBackslash(std::u16string& s);
// Removes one separator from the end of s, if there is one.
void DelBackslash(std::u16string& s);
// The folder part of a path, without its last separator (on Windows "\\" or "/"); empty for a
// bare file name.
std::u16string FolderOf(std::u16string_view path);

// True when the file "$~test~$.$$$" can be created (and is deleted again) in dir.
bool IsFolderWritable(std::u16string_view dir);
// True when path names a folder; for a drive ("C:", "C:\") when its root holds a folder.
bool FolderExists(std::u16string_view path);
// True when the file can be opened for reading and starts with EF BB BF.
bool HasUtf8Bom(std::u16string_view fn);

// Takes the next parameter off a NUL-terminated command line: skips characters 1..32 and
// empty "" pairs, collects up to 4096 characters (a quoted part keeps its spaces, "" inside
// it gives one quote) and returns the pointer to the character after the parameter.
const char16_t* NextParam(const char16_t* p, std::u16string& param);

// The longest parameter NextParam collects in one call.
inline constexpr std::size_t MaxParamLength = 4096;
