// Last-write dates of files as text.
#include "common/file_dates.h"

#include "common/wtext.h"

namespace {

bool startsWithNoCase(std::u16string_view s, std::u16string_view token) {
    if (s.size() < token.size()) return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
        char16_t c = s[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != token[i]) return false;
    }
    return true;
}

void appendDigits(std::u16string& s, unsigned value, int digits) {
    char16_t buf[8] = {};
    for (int i = digits - 1; i >= 0; --i) {
        buf[i] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    s.append(buf, static_cast<std::size_t>(digits));
}

}  // namespace

void FileWriteTime(std::u16string_view path, FILETIME& t) {
    t = FILETIME{};
    const std::u16string p(path);
    // Attributes of exactly this path: a directory search would expand '*' and '?' and
    // answer with the date of some other file.
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(W(p), GetFileExInfoStandard, &data)) return;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    t = data.ftLastWriteTime;
}

void FileTimeToText(const FILETIME& t, std::u16string_view format, std::u16string& s) {
    s.clear();
    // The offset in force at that moment, not today's: a winter file read in summer would
    // otherwise be an hour off.
    SYSTEMTIME utc = {};
    SYSTEMTIME local = {};
    if (!FileTimeToSystemTime(&t, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return;
    std::u16string out;
    while (!format.empty()) {
        std::size_t used = 2;
        if (startsWithNoCase(format, u"yyyy")) {
            appendDigits(out, local.wYear, 4);
            used = 4;
        } else if (startsWithNoCase(format, u"yy")) {
            appendDigits(out, local.wYear % 100u, 2);
        } else if (startsWithNoCase(format, u"dd")) {
            appendDigits(out, local.wDay, 2);
        } else if (startsWithNoCase(format, u"mm")) {
            appendDigits(out, local.wMonth, 2);
        } else if (startsWithNoCase(format, u"hh")) {
            appendDigits(out, local.wHour, 2);
        } else if (startsWithNoCase(format, u"nn")) {
            appendDigits(out, local.wMinute, 2);
        } else if (startsWithNoCase(format, u"ss")) {
            appendDigits(out, local.wSecond, 2);
        } else {
            out += format.front();
            used = 1;
        }
        format.remove_prefix(used);
    }
    s = std::move(out);
}

void FileDateText(std::u16string_view path, bool dateOnly, std::u16string& s) {
    s.clear();
    FILETIME t = {};
    FileWriteTime(path, t);
    if (t.dwLowDateTime == 0 && t.dwHighDateTime == 0) return;
    FileTimeToText(t, dateOnly ? u"dd.mm.yy" : u"dd.mm.yy hh:nn:ss", s);
}
