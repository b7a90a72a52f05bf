// The puzzle board's state and operations.
#include "game/board.h"

#include <limits>
#include <random>

std::int32_t BoardSize = 4;
TBoard Board;
TCellPos Blank;
std::int32_t BlankValue = 0;
std::int32_t MoveCount = 0;
std::int32_t MergeCount = 100;
std::uint8_t LabelLanguage = 0;
TBoardHooks BoardHooks;

// Blanks inside the labels are deliberate: each tile is centred on its own, and the blanks
// place the letters so that the words of a row read across the tiles.
const std::array<std::array<std::u16string_view, 9>, 3> Labels3{{
    {u"  be", u"s s", u"er  ", u"   D", u"eu", u"tsch", u"spre", u"chen", u""},
    {u"  T", u"a l", u"k  ", u"  b e", u"t t", u"e r ", u" Ger", u"man ", u""},
    {u" В", u"о", u"да", u" к а", u"м е", u"нь ", u" то", u"чит", u""},
}};

const std::array<std::array<std::u16string_view, 16>, 3> Labels4{{
    {u"O", u"h", u"n", u"e", u"F", u"l", u"ei", u"ß", u"k", u"e", u"i", u"n", u"Pr", u"ei", u"s", u""},
    {u"M", u"o", u"r", u"e", u"r", u"i", u"s", u"k", u"m", u"o", u"r", u"e", u"f", u"u", u"n", u""},
    {u"К", u"он", u"ч", u"ил", u"д", u"е", u"л", u"о", u"г", u"у", u"л", u"яй", u"см", u"е", u"ло", u""},
}};

namespace {

std::mt19937 BoardRandom;

// Uniform over the four real moves: the top two bits of a 32-bit draw are exactly uniform and
// give the same sequence for a seed with every standard library.
TZugArt randomZug() {
    return static_cast<TZugArt>(static_cast<std::uint32_t>(BoardRandom()) >> 30);
}

// The side length in use. BoardSize is only ever changed with an InitBoard to follow, but
// reading it through the clamp keeps every index inside the 8 x 8 capacity regardless.
std::int32_t sideLength() { return ClampBoardSize(BoardSize); }

std::u16string numberLabel(std::int32_t k) {
    std::u16string digits;
    auto v = static_cast<std::uint32_t>(k);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    return u" " + digits + u" ";
}

template <std::size_t N>
std::u16string tableLabel(const std::array<std::array<std::u16string_view, N>, 3>& table, std::int32_t k) {
    const std::size_t language = LabelLanguage < table.size() ? LabelLanguage : 0;
    if (k < 1 || static_cast<std::size_t>(k) > N) return {};
    return std::u16string(table[language][static_cast<std::size_t>(k - 1)]);
}

std::int32_t saturate(std::int64_t v) {
    constexpr std::int64_t top = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v > top ? top : v);
}

}  // namespace

void SeedBoardRandom(std::uint32_t seed) { BoardRandom.seed(seed); }

void InitBoard() {
    BoardSize = ClampBoardSize(BoardSize);
    const std::int32_t n = BoardSize;
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c) Board(c, r) = (r - 1) * n + c;
    BlankValue = n * n;
    Blank = {n, n};
}

TCellText CellText(std::int32_t column, std::int32_t row) {
    const std::int32_t n = sideLength();
    const std::int32_t k = Board(column, row);
    switch (n) {
    case 3:
        return {tableLabel(Labels3, k), TileDarkCyan};
    case 4:
        // The fixed 8 splits the upper two rows from the lower two.
        return {tableLabel(Labels4, k), k > 8 ? TileRed : TileYellow};
    default:
        return {numberLabel(k), TileDarkCyan};
    }
}

void ShiftBlank(std::int32_t dc, std::int32_t dr) {
    Board(Blank.column, Blank.row) = Board(Blank.column + dc, Blank.row + dr);
    Blank.column += dc;
    Blank.row += dr;
    Board(Blank.column, Blank.row) = BlankValue;
}

bool MakeZug(TZugArt z) {
    const std::int32_t n = sideLength();
    switch (z) {
    case TZugArt::auf:
        if (Blank.row >= n) return false;
        ShiftBlank(0, 1);
        return true;
    case TZugArt::ab:
        if (Blank.row <= 1) return false;
        ShiftBlank(0, -1);
        return true;
    case TZugArt::links:
        if (Blank.column >= n) return false;
        ShiftBlank(1, 0);
        return true;
    case TZugArt::rechts:
        if (Blank.column <= 1) return false;
        ShiftBlank(-1, 0);
        return true;
    case TZugArt::none:
        break;
    }
    return false;
}

void Shuffle(std::int32_t count, const std::function<void(TZugArt)>& onMove) {
    // Starting from links bars rechts first, so from the solved board the first move is ab.
    TZugArt last = TZugArt::links;
    while (count > 0) {
        const TZugArt z = randomZug();
        // Every cell has at least two neighbours on a 3x3 or larger board, so a legal move
        // other than the undoing one always exists and the redraws end.
        if (z == Opposite[last] || !MakeZug(z)) continue;
        if (onMove) onMove(z);
        last = z;
        --count;
    }
}

void Shuffle(std::int32_t count) { Shuffle(count, {}); }

void NewBoard() {
    InitBoard();
    Shuffle(MergeCount);
}

THitResult HitTest(std::int32_t column, std::int32_t row) {
    // Differences are taken in 64 bits: a position far past the edge must not overflow.
    const std::int64_t bc = Blank.column, br = Blank.row;
    if (row == br) {
        if (column < bc) return {TZugArt::rechts, saturate(bc - column)};
        if (column > bc) return {TZugArt::links, saturate(column - bc)};
    } else if (column == bc) {
        if (row < br) return {TZugArt::ab, saturate(br - row)};
        return {TZugArt::auf, saturate(row - br)};
    }
    return {};
}

bool IsSolved() {
    const std::int32_t n = sideLength();
    std::int32_t expected = 1;
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c)
            if (Board(c, r) != expected++) return false;
    return true;
}

bool PlayZug(TZugArt z) {
    if (!MakeZug(z)) return false;
    if (IsSolved() && BoardHooks.postSolved) {
        // Only the low 16 bits of the count fit the high word that the window reads back.
        const std::uint32_t high = (static_cast<std::uint32_t>(MoveCount) & 0xFFFFu) << 16;
        BoardHooks.postSolved(SolvedCommand, static_cast<std::intptr_t>(high));
    }
    return true;
}

void NewGame() {
    MoveCount = 0;
    NewBoard();
    if (BoardHooks.gameStarted) BoardHooks.gameStarted();
    if (BoardHooks.repaint) BoardHooks.repaint();
}
