// Short solutions of 5 x 5 to 8 x 8 boards: the top row or the left column of the part still
// open is brought home a few tiles at a time, until a 4 x 4 board is left, which is solved
// optimally. Not proven shortest.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "game/board.h"
#include "game/solver/pattern_tables.h"

namespace solver {

// cells: a valid position of side n (5..8), 0 empty. nullopt when cancel was raised first.
std::optional<std::vector<TZugArt>> SolveLarge(int n, std::vector<std::uint8_t> cells, const TPatternTables& tables,
                                               const std::atomic<bool>& cancel, std::uint64_t& nodes);

}  // namespace solver
