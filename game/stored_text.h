// Counts and lists as the settings file keeps them: strict decimal digits, items split at commas.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The largest count the game stores or takes back (moves, seconds, shuffle moves): nine digits,
// far beyond any real game, and a stored value beyond it is a damaged or edited file.
inline constexpr std::int32_t MaxStoredCount = 999'999'999;

// The value of 1 to 9 decimal digits and nothing else, when it is at most MaxStoredCount.
// Signs, blanks, empty text and longer numbers give nothing.
inline std::optional<std::int32_t> ParseStoredCount(std::u16string_view s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    std::int32_t v = 0;
    for (const char16_t c : s) {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c - u'0');
    }
    return v;
}

inline std::u16string CountText(std::int64_t v) {
    if (v < 0) return u"-" + CountText(-v);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    return digits;
}

// The items between commas; "a,,b" has an empty item in the middle, "" one empty item.
inline std::vector<std::u16string_view> SplitAtCommas(std::u16string_view s) {
    std::vector<std::u16string_view> items;
    for (;;) {
        const std::size_t comma = s.find(u',');
        items.push_back(s.substr(0, comma));
        if (comma == std::u16string_view::npos) return items;
        s.remove_prefix(comma + 1);
    }
}
