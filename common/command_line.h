// Single items of the process command line.
#pragma once

#include <string>
#include <string_view>

// Index 0: the full path of the program file. Index n >= 1: the n-th item of the process
// command line (item 0 being the program as typed), split as NextParam splits it. s is empty
// when the command line has fewer items, and for a negative index.
void CommandLineItem(int index, std::u16string& s);

// The index-th item of commandLine (item 0 first); empty when there are fewer items.
std::u16string commandLineItemOf(std::u16string_view commandLine, int index);
