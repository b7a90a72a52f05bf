// Tests of the puzzle board: whole games without a window, through recording hooks.
#include "game/board.h"
#include "tests/support/test_seed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <ostream>
#include <vector>

void PrintTo(TZugArt z, std::ostream* os) {
    static const char* const names[] = {"auf", "ab", "links", "rechts", "none"};
    const auto i = static_cast<unsigned>(z);
    *os << (i < 5 ? names[i] : "?");
}

namespace {


struct Posted {
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// The cells 1..n in reading order, plus the empty cell's position.
struct Snapshot {
    std::vector<std::int32_t> cells;
    std::int32_t blankColumn, blankRow;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot() {
    Snapshot s{{}, Blank.column, Blank.row};
    for (std::int32_t r = 1; r <= BoardSize; ++r)
        for (std::int32_t c = 1; c <= BoardSize; ++c) s.cells.push_back(Board(c, r));
    return s;
}

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        BoardSize = 4;
        MergeCount = 100;
        MoveCount = 0;
        LabelLanguage = 0;
        BoardHooks.repaint = [this] { ++repaints; };
        BoardHooks.postSolved = [this](std::uintptr_t w, std::intptr_t l) { posted.push_back({w, l}); };
        BoardHooks.gameStarted = [this] { started.push_back({snapshot(), MoveCount, repaints}); };
        SeedBoardRandom(testsupport::testSeed());
    }
    void TearDown() override {
        BoardHooks = {};
        BoardSize = 4;
        MergeCount = 100;
        MoveCount = 0;
        LabelLanguage = 0;
    }

    // A solved n x n board with the empty cell walked to (column, row).
    static void solvedWithBlankAt(std::int32_t n, std::int32_t column, std::int32_t row) {
        BoardSize = n;
        InitBoard();
        while (Blank.row > row) ASSERT_TRUE(MakeZug(TZugArt::ab));
        while (Blank.column > column) ASSERT_TRUE(MakeZug(TZugArt::rechts));
    }

    int repaints = 0;
    std::vector<Posted> posted;
    // What the board held each time it told that a new game has begun.
    struct Started {
        Snapshot board;
        std::int32_t moves;
        int repaintsBefore;
    };
    std::vector<Started> started;
};

// Each move either swaps two cells or the empty cell moves one step, so the parity of the
// whole permutation always equals the parity of the empty cell's distance from (n, n).
bool reachableFromSolved() {
    const std::int32_t n = BoardSize;
    std::vector<std::int32_t> perm = snapshot().cells;
    std::vector<bool> seen(perm.size());
    std::size_t cycles = 0;
    for (std::size_t i = 0; i < perm.size(); ++i) {
        if (seen[i]) continue;
        ++cycles;
        for (std::size_t j = i; !seen[j]; j = static_cast<std::size_t>(perm[j] - 1)) seen[j] = true;
    }
    const std::size_t permParity = (perm.size() - cycles) % 2;
    const auto blankParity = static_cast<std::size_t>((n - Blank.column) + (n - Blank.row)) % 2;
    return permParity == blankParity;
}

bool isConsistentPermutation() {
    std::vector<std::int32_t> cells = snapshot().cells;
    std::sort(cells.begin(), cells.end());
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i] != static_cast<std::int32_t>(i) + 1) return false;
    return BlankValue == BoardSize * BoardSize && Board(Blank.column, Blank.row) == BlankValue;
}

TEST_F(BoardTest, InitBoardPutsEverySizeInReadingOrder) {
    for (std::int32_t n = MinBoardSize; n <= MaxBoardSize; ++n) {
        SCOPED_TRACE(n);
        BoardSize = n;
        MoveCount = 7;
        InitBoard();
        EXPECT_TRUE(IsSolved());
        EXPECT_EQ(BlankValue, n * n);
        EXPECT_EQ(Blank.column, n);
        EXPECT_EQ(Blank.row, n);
        // First index is the column: the second cell of the top row holds 2, of the left column n + 1.
        EXPECT_EQ(Board(2, 1), 2);
        EXPECT_EQ(Board(1, 2), n + 1);
        EXPECT_EQ(Board(n, n), n * n);
        EXPECT_EQ(MoveCount, 7);
    }
}

TEST_F(BoardTest, SizesOutsideTheCapacityAreClampedToTheNearestBound) {
    const struct {
        std::int32_t in, out;
    } cases[] = {
        {std::numeric_limits<std::int32_t>::min(), 3}, {-5, 3}, {0, 3}, {2, 3}, {3, 3},
        {5, 5}, {8, 8}, {9, 8}, {std::numeric_limits<std::int32_t>::max(), 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(ClampBoardSize(c.in), c.out);
        BoardSize = c.in;
        InitBoard();
        EXPECT_EQ(BoardSize, c.out);
        EXPECT_TRUE(IsSolved());
        EXPECT_EQ(Blank.column, c.out);
    }
}

TEST_F(BoardTest, MakeZugMovesOnlyWhereATileIsThereAndIsUndoneByItsOpposite) {
    const TZugArt all[] = {TZugArt::auf, TZugArt::ab, TZugArt::links, TZugArt::rechts, TZugArt::none};
    for (std::int32_t n : {3, 4}) {
        for (std::int32_t row = 1; row <= n; ++row) {
            for (std::int32_t column = 1; column <= n; ++column) {
                solvedWithBlankAt(n, column, row);
                const Snapshot before = snapshot();
                for (TZugArt z : all) {
                    SCOPED_TRACE(testing::Message() << "n=" << n << " blank=(" << column << "," << row
                                                    << ") " << testing::PrintToString(z));
                    std::int32_t dc = 0, dr = 0;
                    if (z == TZugArt::auf) dr = 1;
                    if (z == TZugArt::ab) dr = -1;
                    if (z == TZugArt::links) dc = 1;
                    if (z == TZugArt::rechts) dc = -1;
                    const bool possible = z != TZugArt::none && column + dc >= 1 && column + dc <= n &&
                                          row + dr >= 1 && row + dr <= n;
                    ASSERT_EQ(MakeZug(z), possible);
                    if (!possible) {
                        EXPECT_EQ(snapshot(), before);
                        continue;
                    }
                    EXPECT_EQ(Blank.column, column + dc);
                    EXPECT_EQ(Blank.row, row + dr);
                    EXPECT_EQ(Board(column, row), before.cells[static_cast<std::size_t>((row + dr - 1) * n + column + dc - 1)]);
                    EXPECT_TRUE(MakeZug(Opposite[z]));
                    EXPECT_EQ(snapshot(), before);
                }
            }
        }
    }
}

TEST_F(BoardTest, ShuffleMakesExactlyCountLegalMovesThatNeverUndoTheLastOne) {
    for (std::int32_t n = MinBoardSize; n <= MaxBoardSize; ++n) {
        for (std::uint32_t i = 0; i < 25; ++i) {
            for (std::int32_t count : {1, 2, 7, 200}) {
                const std::uint32_t seed = testsupport::testSeed() + i;
                SCOPED_TRACE(testing::Message() << "n=" << n << " seed=" << seed << " count=" << count);
                BoardSize = n;
                InitBoard();
                SeedBoardRandom(seed);
                std::vector<TZugArt> moves;
                Shuffle(count, [&](TZugArt z) { moves.push_back(z); });
                const Snapshot shuffled = snapshot();

                ASSERT_EQ(moves.size(), static_cast<std::size_t>(count));
                EXPECT_EQ(moves.front(), TZugArt::ab);
                for (std::size_t k = 1; k < moves.size(); ++k) ASSERT_NE(moves[k], Opposite[moves[k - 1]]) << k;
                EXPECT_TRUE(isConsistentPermutation());
                EXPECT_TRUE(reachableFromSolved());
                if (count == 1) {
                    EXPECT_EQ(Blank.column, n);
                    EXPECT_EQ(Blank.row, n - 1);
                }

                // The reported moves are the moves made, each of them successful.
                InitBoard();
                for (TZugArt z : moves) ASSERT_TRUE(MakeZug(z));
                EXPECT_EQ(snapshot(), shuffled);

                // The overload without observer shuffles the same way.
                InitBoard();
                SeedBoardRandom(seed);
                Shuffle(count);
                EXPECT_EQ(snapshot(), shuffled);
            }
        }
    }
    EXPECT_TRUE(posted.empty());
}

TEST_F(BoardTest, ShuffleOfNoMovesLeavesTheBoardAlone) {
    for (std::int32_t count : {0, -5, std::numeric_limits<std::int32_t>::min()}) {
        SCOPED_TRACE(count);
        InitBoard();
        int reported = 0;
        Shuffle(count, [&](TZugArt) { ++reported; });
        EXPECT_TRUE(IsSolved());
        EXPECT_EQ(reported, 0);
    }
}

TEST_F(BoardTest, HitTestNamesTheMoveAndTheRunLength) {
    // 4 x 4 with the empty cell at column 4, row 2.
    solvedWithBlankAt(4, 4, 2);
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t column, row;
        TZugArt zug;
        std::int32_t distance;
    } cases[] = {
        {4, 2, TZugArt::none, 0},      // the empty cell itself
        {3, 2, TZugArt::rechts, 1},    {1, 2, TZugArt::rechts, 3},
        {4, 1, TZugArt::ab, 1},        {4, 3, TZugArt::auf, 1},     {4, 4, TZugArt::auf, 2},
        {2, 3, TZugArt::none, 0},      {1, 1, TZugArt::none, 0},    // neither row nor column
        {5, 2, TZugArt::links, 1},     {0, 2, TZugArt::rechts, 4},  // past the edges
        {4, 0, TZugArt::ab, 2},        {4, 7, TZugArt::auf, 5},     {5, 5, TZugArt::none, 0},
        {-1000, 2, TZugArt::rechts, 1004},
        {lo, 2, TZugArt::rechts, hi},  {hi, 2, TZugArt::links, hi - 4},
        {4, lo, TZugArt::ab, hi},      {4, hi, TZugArt::auf, hi - 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "click (" << c.column << "," << c.row << ")");
        const THitResult hit = HitTest(c.column, c.row);
        EXPECT_EQ(hit.zug, c.zug);
        EXPECT_EQ(hit.distance, c.distance);
    }
}

TEST_F(BoardTest, AClickSlidesTheWholeRunUpToTheEmptyCell) {
    // Steps played one after the other on a solved 4 x 4 board, as the window plays a click:
    // HitTest, then distance moves in that direction.
    const struct {
        std::int32_t column, row;
        std::int32_t moved;  // moves that succeed
        std::int32_t after[16];
    } steps[] = {
        {1, 4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 13, 14, 15}},
        {1, 1, 3, {16, 2, 3, 4, 1, 6, 7, 8, 5, 10, 11, 12, 9, 13, 14, 15}},
        {3, 3, 0, {16, 2, 3, 4, 1, 6, 7, 8, 5, 10, 11, 12, 9, 13, 14, 15}},  // not in line
        {9, 1, 3, {2, 3, 4, 16, 1, 6, 7, 8, 5, 10, 11, 12, 9, 13, 14, 15}},  // past the edge
        {4, 2, 1, {2, 3, 4, 8, 1, 6, 7, 16, 5, 10, 11, 12, 9, 13, 14, 15}},
        {-3, 2, 3, {2, 3, 4, 8, 16, 1, 6, 7, 5, 10, 11, 12, 9, 13, 14, 15}},
    };
    InitBoard();
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "click (" << s.column << "," << s.row << ")");
        const THitResult hit = HitTest(s.column, s.row);
        std::int32_t moved = 0;
        for (std::int32_t k = 0; k < hit.distance; ++k) moved += MakeZug(hit.zug) ? 1 : 0;
        EXPECT_EQ(moved, s.moved);
        EXPECT_EQ(snapshot().cells, std::vector<std::int32_t>(std::begin(s.after), std::end(s.after)));
        EXPECT_TRUE(isConsistentPermutation());
    }
}

TEST_F(BoardTest, PlayZugQueuesOneNotificationWithTheLow16BitsOfTheCount) {
    const struct {
        std::int32_t count;
        std::uint32_t travels;
    } cases[] = {{0, 0}, {1, 1}, {65535, 65535}, {65536, 0}, {65537, 1}, {0x12345, 0x2345}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        posted.clear();
        InitBoard();
        ASSERT_TRUE(MakeZug(TZugArt::ab));
        ASSERT_TRUE(MakeZug(TZugArt::ab));
        ASSERT_TRUE(PlayZug(TZugArt::auf));  // a move that does not solve posts nothing
        EXPECT_TRUE(posted.empty());
        MoveCount = c.count;
        ASSERT_TRUE(PlayZug(TZugArt::auf));
        ASSERT_TRUE(IsSolved());
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].wParam, 190u);
        const auto l = static_cast<std::uintptr_t>(posted[0].lParam);
        EXPECT_EQ(l & 0xFFFF, 0u);
        EXPECT_EQ((l >> 16) & 0xFFFF, c.travels);
        EXPECT_EQ(l >> 16, c.travels);  // nothing above the high word
    }

    // Impossible moves change and post nothing, even on the solved board.
    posted.clear();
    for (TZugArt z : {TZugArt::auf, TZugArt::links, TZugArt::none}) {
        EXPECT_FALSE(PlayZug(z));
        EXPECT_TRUE(IsSolved());
    }
    EXPECT_TRUE(posted.empty());

    // Without a window there is nobody to tell, and nothing fails.
    BoardHooks = {};
    ASSERT_TRUE(MakeZug(TZugArt::ab));
    EXPECT_TRUE(PlayZug(TZugArt::auf));
    NewGame();
}

TEST_F(BoardTest, AShuffledGameIsSolvedByPlayingItsMovesBackwards) {
    for (std::int32_t n = MinBoardSize; n <= MaxBoardSize; ++n) {
        const std::uint32_t seed = testsupport::testSeed() + static_cast<std::uint32_t>(n);
        SCOPED_TRACE(testing::Message() << "n=" << n << " seed=" << seed);
        BoardSize = n;
        MergeCount = 200;
        SeedBoardRandom(seed);
        repaints = 0;
        MoveCount = 99;
        NewGame();
        EXPECT_EQ(MoveCount, 0);
        EXPECT_EQ(repaints, 1);
        const Snapshot dealt = snapshot();
        // The game's start is told once, with the shuffle done and before the repaint.
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0].board, dealt);
        EXPECT_EQ(started[0].moves, 0);
        EXPECT_EQ(started[0].repaintsBefore, 0);
        started.clear();

        // NewGame dealt what the same seed shuffles, move by move.
        InitBoard();
        SeedBoardRandom(seed);
        std::vector<TZugArt> moves;
        Shuffle(MergeCount, [&](TZugArt z) { moves.push_back(z); });
        ASSERT_EQ(snapshot(), dealt);
        ASSERT_EQ(moves.size(), 200u);

        // The player undoes them; the board may pass the solved order on the way, and each
        // time it does exactly one notification is queued.
        posted.clear();
        std::size_t expected = 0;
        for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
            ++MoveCount;
            ASSERT_TRUE(PlayZug(Opposite[*it]));
            if (IsSolved()) ++expected;
            ASSERT_EQ(posted.size(), expected);
        }
        EXPECT_TRUE(IsSolved());
        ASSERT_FALSE(posted.empty());
        EXPECT_EQ(posted.back().wParam, SolvedCommand);
        EXPECT_EQ(static_cast<std::uintptr_t>(posted.back().lParam) >> 16, 200u);
    }
}

TEST_F(BoardTest, NewGameWithoutShuffleStartsSolvedAndPostsNothing) {
    MergeCount = 0;
    BoardSize = 6;
    NewGame();
    EXPECT_TRUE(IsSolved());
    EXPECT_EQ(Blank.column, 6);
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(posted.empty());
}

TEST_F(BoardTest, CellTextGivesLabelAndColourOfTheTileNumber) {
    const struct {
        std::int32_t n;
        std::uint8_t language;
        std::int32_t tile;
        std::u16string text;
        TRgbColor color;
    } cases[] = {
        {5, 0, 12, u" 12 ", RgbColor(0, 128, 128)},
        {8, 2, 64, u" 64 ", RgbColor(0, 128, 128)},  // the empty cell of the big boards has its number
        {6, 1, 1, u" 1 ", RgbColor(0, 128, 128)},
        {4, 1, 9, u"m", RgbColor(255, 0, 0)},
        {4, 1, 8, u"k", RgbColor(255, 255, 0)},
        {4, 0, 8, u"ß", RgbColor(255, 255, 0)},
        {4, 2, 12, u"яй", RgbColor(255, 0, 0)},
        {3, 0, 4, u"   D", RgbColor(0, 128, 128)},
        {3, 2, 1, u" В", RgbColor(0, 128, 128)},
        {4, 200, 1, u"O", RgbColor(255, 255, 0)},  // an unknown language reads as German
        {3, 3, 7, u"spre", RgbColor(0, 128, 128)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "n=" << c.n << " language=" << int{c.language} << " tile=" << c.tile);
        BoardSize = c.n;
        LabelLanguage = c.language;
        InitBoard();
        const TCellText t = CellText((c.tile - 1) % c.n + 1, (c.tile - 1) / c.n + 1);
        EXPECT_EQ(t.text, c.text);
        EXPECT_EQ(t.color, c.color);
    }
    EXPECT_EQ(RgbColor(0x12, 0x34, 0x56), 0x00563412u);

    // The empty cell of the small boards is unlabelled; a label travels with its tile.
    for (std::int32_t n : {3, 4}) {
        SCOPED_TRACE(n);
        BoardSize = n;
        LabelLanguage = 1;
        InitBoard();
        EXPECT_EQ(CellText(n, n).text, u"");
        ASSERT_TRUE(MakeZug(TZugArt::ab));
        EXPECT_EQ(CellText(n, n).text, n == 3 ? u"e r " : u"e");
        EXPECT_EQ(CellText(n, n - 1).text, u"");
    }
}

std::u16string withoutBlanks(std::u16string s) {
    std::erase(s, u' ');
    return s;
}

TEST_F(BoardTest, TheSolvedBoardSpellsTheSayingOfEachLanguage) {
    const struct {
        std::int32_t n;
        std::uint8_t language;
        std::u16string saying;
    } cases[] = {
        {3, 0, u"besser Deutsch sprechen"}, {3, 1, u"Talk better German"}, {3, 2, u"Вода камень точит"},
        {4, 0, u"Ohne Fleiß kein Preis"},   {4, 1, u"More risk more fun"}, {4, 2, u"Кончил дело гуляй смело"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "n=" << c.n << " language=" << int{c.language});
        BoardSize = c.n;
        LabelLanguage = c.language;
        InitBoard();
        std::u16string words;
        for (std::int32_t r = 1; r <= c.n; ++r) {
            std::u16string row;
            for (std::int32_t col = 1; col <= c.n; ++col) row += CellText(col, r).text;
            if (r > 1) words += u' ';
            words += withoutBlanks(row);
        }
        EXPECT_EQ(words, c.saying);
    }
}

TEST_F(BoardTest, LabelBlanksSitWhereTheyAlignTheWords) {
    // Leading and trailing blanks of the 3 x 3 labels; every other label has none.
    const struct {
        std::size_t language, entry, leading, trailing;
    } blanks[] = {
        {0, 1, 2, 0}, {0, 3, 0, 2}, {0, 4, 3, 0},
        {1, 1, 2, 0}, {1, 3, 0, 2}, {1, 4, 2, 0}, {1, 6, 0, 1}, {1, 7, 1, 0}, {1, 8, 0, 1},
        {2, 1, 1, 0}, {2, 4, 1, 0}, {2, 6, 0, 1}, {2, 7, 1, 0},
    };
    for (std::size_t language = 0; language < 3; ++language) {
        for (std::size_t entry = 1; entry <= 9; ++entry) {
            SCOPED_TRACE(testing::Message() << "language=" << language << " entry=" << entry);
            const std::u16string_view label = Labels3[language][entry - 1];
            std::size_t leading = 0, trailing = 0;
            for (const auto& b : blanks) {
                if (b.language == language && b.entry == entry) {
                    leading = b.leading;
                    trailing = b.trailing;
                }
            }
            const auto first = label.find_first_not_of(u' ');
            EXPECT_EQ(first == label.npos ? label.size() : first, leading);
            EXPECT_EQ(label.empty() ? 0 : label.size() - 1 - label.find_last_not_of(u' '), trailing);
            EXPECT_EQ(label.empty(), entry == 9);
        }
        for (std::size_t entry = 1; entry <= 16; ++entry) {
            const std::u16string_view label = Labels4[language][entry - 1];
            EXPECT_EQ(label.find(u' '), label.npos) << language << "/" << entry;
            EXPECT_EQ(label.empty(), entry == 16) << language << "/" << entry;
        }
    }
}

}  // namespace
