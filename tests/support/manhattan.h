// The Manhattan distance of a board: the yardstick of the solver's tests and benchmark, kept
// apart from the solver so that it can check the solver's estimates.
#pragma once

#include <cstdlib>

#include "game/solver/solver.h"

namespace testsupport {

// The sum over the tiles of c of their row and column distances from home; the empty cell (0)
// does not count.
inline int ManhattanDistance(const solver::TCells& c) {
    const int n = solver::SideOf(c.size());
    int sum = 0;
    for (int i = 0; i < n * n; ++i)
        if (c[static_cast<std::size_t>(i)]) {
            const int home = c[static_cast<std::size_t>(i)] - 1;
            sum += std::abs(home / n - i / n) + std::abs(home % n - i % n);
        }
    return sum;
}

}  // namespace testsupport
