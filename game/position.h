// A board position as a value: taken from the board and put back, written as text and read back with checks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "game/board.h"

// The cells of an n x n board in reading order, each the number of its tile; n * n marks the
// empty cell, as on the board.
struct TPosition {
    std::int32_t size = 0;
    std::array<std::uint8_t, MaxBoardSize * MaxBoardSize> cells{};

    bool operator==(const TPosition&) const = default;
};

// The board as it is now.
TPosition CurrentPosition();
// Puts p on the board: BoardSize, Board, Blank and BlankValue. p must be a permutation (as
// ParsePosition makes and CurrentPosition keeps).
void ApplyPosition(const TPosition& p);

// The n * n numbers separated by commas, the empty cell written as 0: "1,2,3,...,15,0".
std::u16string PositionText(const TPosition& p);
// The position of that text when it holds exactly n * n numbers, each of 0 to n * n - 1 once;
// anything else (wrong count, repeats, blanks, signs, other sizes) gives nothing.
std::optional<TPosition> ParsePosition(std::u16string_view text, std::int32_t n);

// Whether the slides can bring p into solved order. Half of all permutations cannot: the
// parity of the tiles' inversions, together with the empty cell's row on even boards, never
// changes with a move.
bool IsSolvable(const TPosition& p);
// Tiles in reading order, the empty cell last.
bool IsSolvedPosition(const TPosition& p);
