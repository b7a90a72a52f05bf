// Names of window messages, for diagnostics and readable test failures.
#pragma once

#include <string>

// "WM_PAINT" for 0x000F and so on for the messages the framework meets; null for others.
const char* MessageName(unsigned Msg) noexcept;
// The name, or the number in hexadecimal ("0x0401") for a message without one.
std::string DescribeMessage(unsigned Msg);
