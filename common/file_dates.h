// Last-write dates of files as text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// t := the last-write time of the file path; zero when there is no such file or path names
// a folder. Wildcards in path are not expanded.
void FileWriteTime(std::u16string_view path, FILETIME& t);

// s := t in the local time of that moment, formatted by format: "dd" day, "mm" month,
// "yy" two-digit year, "yyyy" four-digit year, "hh" hour, "nn" minute, "ss" second (letters in
// any case, each with two digits, the year as noted); every other character is copied.
// s is empty when t cannot be converted.
void FileTimeToText(const FILETIME& t, std::u16string_view format, std::u16string& s);

// s := the last-write time of the file path as "dd.mm.yy", or "dd.mm.yy hh:nn:ss" unless
// dateOnly; empty for a missing file or a folder.
void FileDateText(std::u16string_view path, bool dateOnly, std::u16string& s);
