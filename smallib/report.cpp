// Texts and information boxes of the framework's reports: diagnostics of unhandled commands and exceptions.
#include "smallib/report.h"

#include <algorithm>

#include "common/exceptions.h"
#include "common/message_box.h"
#include "common/platform.h"

std::u16string DecimalText(std::int64_t value) {
    const bool negative = value < 0;
    std::uint64_t v = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::u16string s;
    do {
        s += static_cast<char16_t>(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (negative) s += u'-';
    std::reverse(s.begin(), s.end());
    return s;
}

std::u16string HexText(std::uint64_t value, int minDigits) {
    std::u16string s;
    do {
        s += u"0123456789ABCDEF"[value % 16];
        value /= 16;
    } while (value != 0);
    while (static_cast<int>(s.size()) < minDigits) s += u'0';
    std::reverse(s.begin(), s.end());
    return s;
}

std::u16string ExceptionText(const std::exception& E) {
    if (const auto* own = dynamic_cast<const Exception*>(&E)) return own->Message();
    return platform::FromUtf8(E.what());
}

int ShowInformation(HWND owner, const std::u16string& text) {
    return ShowMessageBox(owner, text, MB_ICONINFORMATION);
}
