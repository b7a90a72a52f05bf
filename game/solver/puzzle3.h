// The 3 x 3 board in full: the distance of each of its 181,440 positions to the solved one.
#pragma once

#include <cstdint>
#include <vector>

#include "game/board.h"

namespace solver {

class TPuzzle3Table {
public:
    // A breadth-first search from the solved board; some milliseconds.
    TPuzzle3Table();
    // The shortest solution of a valid 3 x 3 position (9 cells in reading order, 0 empty).
    std::vector<TZugArt> Solve(const std::uint8_t* cells) const;

private:
    std::vector<std::uint8_t> FDistance;  // by the rank of the cells among all orders of 0..8
};

}  // namespace solver
