// The table is indexed by the rank of the nine cells among the 9! orders of 0..8; the half
// of them that cannot be reached keeps the mark 255.
#include "game/solver/puzzle3.h"

#include <array>

namespace solver {

namespace {

constexpr std::uint8_t Unknown = 255;
constexpr int BlankStep[4] = {3, -3, 1, -1};  // in the order of TZugArt

using TCells9 = std::array<std::uint8_t, 9>;

std::uint32_t rank9(const TCells9& cells) {
    static constexpr std::uint32_t factorial[9] = {40320, 5040, 720, 120, 24, 6, 2, 1, 1};
    std::uint32_t rank = 0;
    for (int i = 0; i < 9; ++i) {
        unsigned below = 0;
        for (int j = 0; j < i; ++j) below += cells[j] < cells[i];
        rank += (cells[i] - below) * factorial[i];
    }
    return rank;
}

bool canMove(int blank, int m) {
    switch (m) {
        case 0: return blank < 6;
        case 1: return blank >= 3;
        case 2: return blank % 3 != 2;
        default: return blank % 3 != 0;
    }
}

int blankOf(const TCells9& cells) {
    for (int i = 0; i < 9; ++i)
        if (cells[i] == 0) return i;
    return 0;
}

}  // namespace

TPuzzle3Table::TPuzzle3Table() : FDistance(362880, Unknown) {
    TCells9 cells{1, 2, 3, 4, 5, 6, 7, 8, 0};
    std::vector<TCells9> level{cells}, next;
    FDistance[rank9(cells)] = 0;
    for (std::uint8_t d = 1; !level.empty(); ++d) {
        next.clear();
        for (TCells9 c : level) {
            const int blank = blankOf(c);
            for (int m = 0; m < 4; ++m) {
                if (!canMove(blank, m)) continue;
                const int from = blank + BlankStep[m];
                std::swap(c[blank], c[from]);
                std::uint8_t& entry = FDistance[rank9(c)];
                if (entry == Unknown) {
                    entry = d;
                    next.push_back(c);
                }
                std::swap(c[blank], c[from]);
            }
        }
        level.swap(next);
    }
}

std::vector<TZugArt> TPuzzle3Table::Solve(const std::uint8_t* start) const {
    TCells9 cells;
    for (int i = 0; i < 9; ++i) cells[i] = start[i];
    std::vector<TZugArt> moves;
    for (int d = FDistance[rank9(cells)]; d > 0 && d != Unknown; --d) {
        const int blank = blankOf(cells);
        for (int m = 0; m < 4; ++m) {
            if (!canMove(blank, m)) continue;
            const int from = blank + BlankStep[m];
            std::swap(cells[blank], cells[from]);
            if (FDistance[rank9(cells)] == d - 1) {
                moves.push_back(static_cast<TZugArt>(m));
                break;
            }
            std::swap(cells[blank], cells[from]);
        }
    }
    return moves;
}

}  // namespace solver
