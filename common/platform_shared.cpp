// The parts of the platform seam that are the same on every system: UTF-8 and day counts.
#include <cstdint>

#include "common/platform.h"

namespace platform {

namespace {

constexpr char32_t replacementChar = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::u16string FromUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b0 < 0x80) {
            out += static_cast<char16_t>(b0);
            ++i;
            continue;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1, cp = b0 & 0x1F, minimum = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2, cp = b0 & 0x0F, minimum = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3, cp = b0 & 0x07, minimum = 0x10000;
        } else {
            out += static_cast<char16_t>(replacementChar);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; j < bytes.size() && j <= i + extra; ++j) {
            const auto b = static_cast<unsigned char>(bytes[j]);
            if ((b & 0xC0) != 0x80) break;
            cp = (cp << 6) | (b & 0x3F);
        }
        // A broken sequence becomes one replacement character; decoding resumes at the
        // first byte that did not belong to it.
        if (j != i + 1 + extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += static_cast<char16_t>(replacementChar);
            i = j;
            continue;
        }
        appendUtf16(out, cp);
        i = j;
    }
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            appendUtf8(out, replacementChar);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

namespace {

FileFault& fileFault() {
    static FileFault fault;
    return fault;
}

}  // namespace

void SetFileFault(FileFault fault) { fileFault() = std::move(fault); }

int InjectedFileError(std::u16string_view path) {
    const FileFault& fault = fileFault();
    return fault ? fault(path) : 0;
}

double EncodeLocalDays(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    // Days from 1970-01-01 of the proleptic Gregorian calendar (H. Hinnant's days_from_civil).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t unixDays = static_cast<std::int64_t>(era) * 146097 + doe - 719468;
    const double fraction = ((hour * 60.0 + minute) * 60.0 + second + millisecond / 1000.0) / 86400.0;
    // 1970-01-01 is day 25569 of the count that starts on 1899-12-30. Dates before the
    // start carry a negative day with a positive fraction, as OLE dates do.
    const double days = static_cast<double>(unixDays + 25569);
    return days >= 0 ? days + fraction : days - fraction;
}

}  // namespace platform
