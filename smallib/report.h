// Texts and information boxes of the framework's reports: diagnostics of unhandled commands and exceptions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

// value in decimal.
std::u16string DecimalText(std::int64_t value);
// value in upper-case hexadecimal, at least minDigits digits.
std::u16string HexText(std::uint64_t value, int minDigits);

// The message of an exception: the program's Exception keeps it in UTF-16, any other
// std::exception gives what() read as UTF-8.
std::u16string ExceptionText(const std::exception& E);

// Shows text in an information box (MB_ICONINFORMATION) owned by owner, through the program's
// message-box function; returns the box's result.
int ShowInformation(HWND owner, const std::u16string& text);
