// Board positions as values and as stored text.
#include "game/position.h"

#include <algorithm>

#include "game/stored_text.h"

namespace {

std::size_t cellCount(const TPosition& p) { return static_cast<std::size_t>(p.size * p.size); }

}  // namespace

TPosition CurrentPosition() {
    TPosition p;
    p.size = ClampBoardSize(BoardSize);
    std::size_t i = 0;
    for (std::int32_t r = 1; r <= p.size; ++r)
        for (std::int32_t c = 1; c <= p.size; ++c) p.cells[i++] = static_cast<std::uint8_t>(Board(c, r));
    return p;
}

void ApplyPosition(const TPosition& p) {
    BoardSize = ClampBoardSize(p.size);
    const std::int32_t n = BoardSize;
    BlankValue = n * n;
    std::size_t i = 0;
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c) {
            Board(c, r) = p.cells[i++];
            if (Board(c, r) == BlankValue) Blank = {c, r};
        }
}

std::u16string PositionText(const TPosition& p) {
    std::u16string text;
    const std::int32_t blank = p.size * p.size;
    for (std::size_t i = 0; i < cellCount(p); ++i) {
        if (i > 0) text += u',';
        text += CountText(p.cells[i] == blank ? 0 : p.cells[i]);
    }
    return text;
}

std::optional<TPosition> ParsePosition(std::u16string_view text, std::int32_t n) {
    if (n < MinBoardSize || n > MaxBoardSize) return std::nullopt;
    const std::int32_t count = n * n;
    // Counted before splitting, so that a huge stored value costs no list of its pieces.
    if (std::count(text.begin(), text.end(), u',') != count - 1) return std::nullopt;
    const auto items = SplitAtCommas(text);
    TPosition p;
    p.size = n;
    std::array<bool, MaxBoardSize * MaxBoardSize> seen{};
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto v = ParseStoredCount(items[i]);
        if (!v || *v >= count || seen[static_cast<std::size_t>(*v)]) return std::nullopt;
        seen[static_cast<std::size_t>(*v)] = true;
        p.cells[i] = static_cast<std::uint8_t>(*v == 0 ? count : *v);
    }
    return p;
}

bool IsSolvable(const TPosition& p) {
    const std::size_t count = cellCount(p);
    const std::uint8_t blank = static_cast<std::uint8_t>(count);
    std::int32_t inversions = 0;
    std::int32_t blankRow = 0;  // 0-based from the top
    for (std::size_t i = 0; i < count; ++i) {
        if (p.cells[i] == blank) {
            blankRow = static_cast<std::int32_t>(i) / p.size;
            continue;
        }
        for (std::size_t j = i + 1; j < count; ++j)
            if (p.cells[j] != blank && p.cells[j] < p.cells[i]) ++inversions;
    }
    // A sideways slide changes nothing of this; an upward or downward one moves a tile past
    // n - 1 others, which flips the inversions' parity exactly when n is even, and then the
    // empty cell's row changes too.
    if (p.size % 2 != 0) return inversions % 2 == 0;
    return (inversions + (p.size - 1 - blankRow)) % 2 == 0;
}

bool IsSolvedPosition(const TPosition& p) {
    for (std::size_t i = 0; i < cellCount(p); ++i)
        if (static_cast<std::size_t>(p.cells[i]) != i + 1) return false;
    return cellCount(p) > 0;
}
